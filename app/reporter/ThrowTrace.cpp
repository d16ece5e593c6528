#include "app/reporter/ThrowTrace.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <QStringList>
#include <cstdlib>
#include <typeinfo>

namespace {

constexpr int kMaxFrames = 64;

struct TRecordedTrace {
    void* frames[kMaxFrames];
    int count = 0;
};

thread_local TRecordedTrace gTrace;

// "binary(_ZN3FooC1Ev+0x1c) [0x4010]" becomes "binary(Foo::Foo()+0x1c) [0x4010]".
QString Demangled(const char* line) {
    QString text = QString::fromLocal8Bit(line);
    int open = text.indexOf('(');
    int plus = text.indexOf('+', open);
    if (open < 0 || plus <= open + 1) {
        return text;
    }
    QByteArray mangled = text.mid(open + 1, plus - open - 1).toLocal8Bit();
    int status = 0;
    char* name = abi::__cxa_demangle(mangled.constData(), nullptr, nullptr, &status);
    if (status != 0 || !name) {
        return text;
    }
    QString result = text.left(open + 1) + QString::fromLocal8Bit(name) + text.mid(plus);
    std::free(name);
    return result;
}

}  // namespace

QString LastThrowTrace() {
    if (gTrace.count <= 0) {
        return {};
    }
    char** lines = backtrace_symbols(gTrace.frames, gTrace.count);
    if (!lines) {
        return {};
    }
    QStringList out;
    // Frame 0 is the recorder itself.
    for (int i = 1; i < gTrace.count; ++i) {
        out << Demangled(lines[i]);
    }
    std::free(lines);
    return out.join('\n');
}

void ClearThrowTrace() {
    gTrace.count = 0;
}

// Every throw of the program's code passes here (the link wraps the C++
// runtime's throw): the stack is recorded, then the exception goes on.
extern "C" {
[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*));

[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*)) {
    gTrace.count = backtrace(gTrace.frames, kMaxFrames);
    __real___cxa_throw(object, type, destroy);
}
}
