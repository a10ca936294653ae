#include <windows.h>

#include <string>

#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"
#include "tests/support/fake_jvm/vm_classes_win.h"

// The few library classes a launcher touches: String from chars, the streams that redirect
// System.out and System.err to files, and System's setters and exit.
namespace fakejvm {
namespace {

bool isOutputStream(const Object* object) {
    return object != nullptr &&
           (object->kind == ObjectKind::FileStream || object->kind == ObjectKind::ByteStream);
}

std::string streamDescription(const Object* printStream) {
    if (printStream == nullptr) return "null";
    const Object* target = printStream->target;
    if (target != nullptr && target->kind == ObjectKind::FileStream)
        return utf8FromUtf16(target->path);
    return "<memory>";
}

Value setStream(Env& env, const std::vector<Value>& args, bool error) {
    Object* stream = args[0].l;
    if (stream != nullptr && stream->kind != ObjectKind::PrintStream) {
        fail("misuse System.set" + std::string(error ? "Err" : "Out") + " with a non-PrintStream",
             98);
    }
    (void)env;
    record(std::string(error ? "setErr " : "setOut ") + streamDescription(stream));
    setSystemStream(error, stream);
    return {};
}

}  // namespace

Value stringInit(Env& env, Object* self, const std::vector<Value>& args) {
    const Object* chars = args[0].l;
    if (chars == nullptr || chars->kind != ObjectKind::CharArray) {
        throwNew(env, "java/lang/NullPointerException", u"value");
        return {};
    }
    self->text = chars->text;
    return {};
}

Value fileStreamInit(Env& env, Object* self, const std::vector<Value>& args) {
    const Object* name = args[0].l;
    const bool append = args[1].i != 0;
    if (name == nullptr || name->kind != ObjectKind::String) {
        throwNew(env, "java/lang/NullPointerException", u"name");
        return {};
    }
    record("fileOpen " + utf8FromUtf16(name->text) + " append=" + (append ? "1" : "0"));
    std::wstring path(name->text.begin(), name->text.end());
    const bool hasNul = path.find(L'\0') != std::wstring::npos;
    // Java reaches long names through the long-path prefix itself.
    if (path.size() >= 248 && path.size() > 2 && path[1] == L':') path = L"\\\\?\\" + path;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_INVALID_NAME;
    if (!hasNul && !path.empty()) {
        file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
    }
    if (file == INVALID_HANDLE_VALUE) {
        const std::string reason = " (error " + std::to_string(error) + ")";
        throwNew(env, "java/io/FileNotFoundException", name->text + utf16FromUtf8(reason));
        return {};
    }
    self->file = file;
    self->path = name->text;
    return {};
}

Value printStreamInit(Env& env, Object* self, const std::vector<Value>& args) {
    if (args[0].l == nullptr) {
        throwNew(env, "java/lang/NullPointerException", u"out");
        return {};
    }
    if (!isOutputStream(args[0].l)) fail("misuse PrintStream over a non-stream object", 98);
    self->target = args[0].l;
    return {};
}

Value byteStreamInit(Env&, Object*, const std::vector<Value>&) { return {}; }

Value byteStreamToString(Env&, Object* self, const std::vector<Value>&) {
    Value result;
    result.l = newString(self->text);
    return result;
}

Value systemSetOut(Env& env, Object*, const std::vector<Value>& args) {
    return setStream(env, args, false);
}

Value systemSetErr(Env& env, Object*, const std::vector<Value>& args) {
    return setStream(env, args, true);
}

Value systemExitMethod(Env& env, Object*, const std::vector<Value>& args) {
    systemExit(&env, args[0].i);
    return {};
}

}  // namespace fakejvm
