#include "engine/CleanupAction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/UserSettings.h"

namespace {

const char kFile[] = "cleanups.json";

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* AppliesText(TCleanupAction::TApplies applies) {
    switch (applies) {
        case TCleanupAction::TApplies::Files:
            return "files";
        case TCleanupAction::TApplies::Folders:
            return "folders";
        case TCleanupAction::TApplies::Both:
            break;
    }
    return "both";
}

const char* RescanText(TCleanupAction::TRescan rescan) {
    switch (rescan) {
        case TCleanupAction::TRescan::ItsFolder:
            return "folder";
        case TCleanupAction::TRescan::Parent:
            return "parent";
        case TCleanupAction::TRescan::Nothing:
            break;
    }
    return "nothing";
}

QString Text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QJsonValue& value) {
    return value.toString().toStdString();
}

TCleanupAction Predefined(const char* title, bool shell, const char* program,
                          std::vector<std::string> arguments, TCleanupAction::TRescan rescan,
                          bool confirm) {
    TCleanupAction action;
    action.Title = title;
    action.Enabled = false;
    action.Shell = shell;
    action.Program = program;
    action.Arguments = std::move(arguments);
    action.Applies = TCleanupAction::TApplies::Folders;
    action.Confirm = confirm;
    action.Rescan = rescan;
    return action;
}

}  // namespace

bool TCleanupAction::operator==(const TCleanupAction& other) const {
    return Title == other.Title && Enabled == other.Enabled && Shell == other.Shell &&
           Program == other.Program && Arguments == other.Arguments && Applies == other.Applies &&
           Confirm == other.Confirm && Rescan == other.Rescan;
}

bool CleanupAppliesTo(const TCleanupAction& action, bool folder) {
    return action.Applies == TCleanupAction::TApplies::Both ||
           (action.Applies == TCleanupAction::TApplies::Folders) == folder;
}

std::string ExpandCleanupArgument(const std::string& argument, const std::string& path) {
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        const char next = i + 1 < argument.size() ? argument[i + 1] : '\0';
        if (argument[i] != '%' || (next != 'p' && next != 'n' && next != 'd' && next != '%')) {
            out += argument[i];
            continue;
        }
        out += next == 'p' ? path : next == 'n' ? NameOf(path) : next == 'd' ? FolderOf(path) : "%";
        ++i;
    }
    return out;
}

std::vector<std::string> CleanupArgv(const TCleanupAction& action, const std::string& path) {
    std::vector<std::string> argv;
    if (action.Shell)
        argv = {"sh", "-c", action.Program, "sh"};
    else
        argv = {action.Program};
    for (const std::string& argument : action.Arguments)
        argv.push_back(ExpandCleanupArgument(argument, path));
    return argv;
}

std::string CleanupRescanFolder(const TCleanupAction& action, const std::string& path,
                                bool folder) {
    if (action.Rescan == TCleanupAction::TRescan::Nothing)
        return {};
    const std::string itsFolder = folder ? path : FolderOf(path);
    return action.Rescan == TCleanupAction::TRescan::ItsFolder ? itsFolder : FolderOf(itsFolder);
}

std::vector<TCleanupAction> PredefinedCleanups() {
    using R = TCleanupAction::TRescan;
    return {
        Predefined("Open terminal here", true,
                   "cd -- \"$1\" && exec \"${TERMINAL:-x-terminal-emulator}\"", {"%p"}, R::Nothing,
                   false),
        Predefined("Compress to .tar.zst", true,
                   "tar --zstd -cf \"$1.tar.zst\" -C \"$2\" -- \"$3\"", {"%p", "%d", "%n"},
                   R::Parent, true),
        Predefined("Delete junk files (*.o *~ *.bak)", true,
                   "find \"$1\" -type f \\( -name '*.o' -o -name '*~' -o -name '*.bak' \\) "
                   "-print -delete",
                   {"%p"}, R::ItsFolder, true),
        Predefined("git gc", false, "git", {"-C", "%p", "gc"}, R::ItsFolder, false),
    };
}

std::string CleanupsText(const std::vector<TCleanupAction>& actions) {
    QJsonArray list;
    for (const TCleanupAction& action : actions) {
        QJsonArray arguments;
        for (const std::string& argument : action.Arguments)
            arguments.append(Text(argument));
        list.append(QJsonObject{{"title", Text(action.Title)},
                                {"enabled", action.Enabled},
                                {"shell", action.Shell},
                                {"program", Text(action.Program)},
                                {"arguments", arguments},
                                {"applies", AppliesText(action.Applies)},
                                {"confirm", action.Confirm},
                                {"rescan", RescanText(action.Rescan)}});
    }
    return QJsonDocument(list).toJson().toStdString();
}

bool CleanupsFromText(const std::string& text, std::vector<TCleanupAction>& actions) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    std::vector<TCleanupAction> read;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject o = value.toObject();
        TCleanupAction action;
        action.Title = Bytes(o["title"]);
        action.Program = Bytes(o["program"]);
        if (!value.isObject() || action.Title.empty() || action.Program.empty())
            return false;
        action.Enabled = o["enabled"].toBool(true);
        action.Shell = o["shell"].toBool(false);
        for (const QJsonValue& argument : o["arguments"].toArray())
            action.Arguments.push_back(Bytes(argument));
        const QString applies = o["applies"].toString();
        action.Applies = applies == "files"     ? TCleanupAction::TApplies::Files
                         : applies == "folders" ? TCleanupAction::TApplies::Folders
                                                : TCleanupAction::TApplies::Both;
        action.Confirm = o["confirm"].toBool(true);
        const QString rescan = o["rescan"].toString();
        action.Rescan = rescan == "folder"   ? TCleanupAction::TRescan::ItsFolder
                        : rescan == "parent" ? TCleanupAction::TRescan::Parent
                                             : TCleanupAction::TRescan::Nothing;
        read.push_back(std::move(action));
    }
    actions = std::move(read);
    return true;
}

bool LoadCleanups(std::vector<TCleanupAction>& actions, std::string& problem) {
    actions = PredefinedCleanups();
    std::string text;
    if (!UserSettings::Read(kFile, text, problem))
        return false;
    if (text.empty())
        return true;
    if (!CleanupsFromText(text, actions)) {
        problem = UserSettings::PathOf(kFile) + ": is not a list of cleanup actions";
        return false;
    }
    return true;
}

bool SaveCleanups(const std::vector<TCleanupAction>& actions, std::string& problem) {
    return UserSettings::Write(kFile, CleanupsText(actions), problem);
}
