#include "platform/ByteArgvProcess.h"

#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <memory>

bool StartByteArgv(QProcess& process, const std::vector<std::string>& argv, QString& problem) {
    if (argv.empty() || argv.front().empty()) {
        problem = QStringLiteral("No program is given.");
        return false;
    }
    const QString name = QFile::decodeName(QByteArray::fromStdString(argv.front()));
    const std::string program =
        argv.front().find('/') != std::string::npos
            ? argv.front()
            : QFile::encodeName(QStandardPaths::findExecutable(name)).toStdString();
    if (program.empty() || ::access(program.c_str(), X_OK) != 0) {
        problem = QStringLiteral("The program \"%1\" was not found.").arg(name);
        return false;
    }
    // Everything the child needs is made here: between fork and exec only
    // async-signal-safe calls are allowed.
    auto bytes = std::make_shared<std::vector<std::string>>(argv);
    auto pointers = std::make_shared<std::vector<char*>>();
    for (std::string& argument : *bytes)
        pointers->push_back(argument.data());
    pointers->push_back(nullptr);
    auto path = std::make_shared<std::string>(program);
    process.setChildProcessModifier([bytes, pointers, path] {
        ::execv(path->c_str(), pointers->data());
        ::_exit(127);
    });
    process.setProgram(QFile::decodeName(QByteArray::fromStdString(program)));
    process.setArguments({});
    process.start();
    return true;
}
