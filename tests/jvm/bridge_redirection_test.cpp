#include <filesystem>
#include <ostream>

#include <gtest/gtest.h>

#include "jni_test_jvm.h"
#include "jvm/java_bridge.h"
#include "jvm/java_strings.h"
#include "jvm/redirection.h"

namespace jvm {
namespace {

using testing::onJavaThread;
using testing::readFile;
using testing::TestJvm;
using testing::writeFile;

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Runs PrintBoth, which writes "OUT" to System.out and "ERR" to System.err.
void printBoth(TestJvm& jvm) {
    const std::vector<std::wstring> arguments{L"OUT", L"ERR"};
    MainClassCall call;
    call.mainClass = L"bridgetest/PrintBoth";
    call.arguments = &arguments;
    ASSERT_EQ(runMainClass(jvm.env(), jvm.vm(), call), MainClassFailure::None);
}

struct RedirectionCase {
    const char* name;
    bool sameFile;
    bool appendOutput;
    bool appendError;
    std::string expectedOutput;
    std::string expectedError;
};

void PrintTo(const RedirectionCase& redirectionCase, std::ostream* out) {
    *out << redirectionCase.name;
}

class Redirection : public ::testing::TestWithParam<RedirectionCase> {};

TEST_P(Redirection, WritesTheFilesAsOpened) {
    const RedirectionCase& param = GetParam();
    const std::string folder = testing::scratchFolder();
    const std::string outputFile = folder + "/out.log";
    const std::string errorFile = param.sameFile ? outputFile : folder + "/err.log";
    writeFile(outputFile, "old");
    if (!param.sameFile) writeFile(errorFile, "old");

    onJavaThread([&] {
        TestJvm jvm;
        redirectStandardStreams(jvm.env(), {wide(outputFile), param.appendOutput},
                                {wide(errorFile), param.appendError}, nullptr);
        printBoth(jvm);
    });
    EXPECT_EQ(readFile(outputFile), param.expectedOutput);
    if (!param.sameFile) EXPECT_EQ(readFile(errorFile), param.expectedError);
}

// Both streams open a shared file independently, each at its own position.
INSTANTIATE_TEST_SUITE_P(
    Files, Redirection,
    ::testing::Values(RedirectionCase{"Truncate", false, false, false, "OUT", "ERR"},
                      RedirectionCase{"Append", false, true, true, "oldOUT", "oldERR"},
                      RedirectionCase{"SameFileTruncate", true, false, false, "ERR", ""},
                      RedirectionCase{"SameFileAppend", true, true, true, "oldOUTERR", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RedirectionFolders, ArePreparedForEachNamedFileOutputFirst) {
    const std::string folder = testing::scratchFolder();
    const std::string errorFile = folder + "/deeper/err.log";
    std::vector<std::wstring> prepared;
    onJavaThread([&] {
        TestJvm jvm;
        redirectStandardStreams(jvm.env(), {L"", false}, {wide(errorFile), false},
                                [&](const std::wstring& name) {
                                    prepared.push_back(name);
                                    std::filesystem::create_directories(folder + "/deeper");
                                });
        printBoth(jvm);
    });
    EXPECT_EQ(prepared, std::vector<std::wstring>{wide(errorFile)});
    EXPECT_EQ(readFile(errorFile), "ERR");
}

TEST(RedirectionFailure, IsDescribedAndLeavesTheOtherStreamWorking) {
    const std::string folder = testing::scratchFolder();
    const std::string unwritable = folder + "/missing/out.log";
    const std::string errorFile = folder + "/err.log";
    std::string errors;
    onJavaThread([&] {
        TestJvm jvm;
        ::testing::internal::CaptureStderr();
        redirectStandardStreams(jvm.env(), {wide(unwritable), false}, {wide(errorFile), false},
                                nullptr);
        errors = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(exceptionPending(jvm.env()));
        printBoth(jvm);
    });
    EXPECT_NE(errors.find("java.io.FileNotFoundException"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    EXPECT_EQ(readFile(errorFile), "ERR");
}

TEST(RedirectionFileName, KeepsNonAsciiCharacters) {
    const std::string folder = testing::scratchFolder();
    onJavaThread([&] {
        TestJvm jvm;
        redirectStandardStreams(jvm.env(), {wide(folder) + L"/caf\u00e9.log", false}, {L"", false},
                                nullptr);
        printBoth(jvm);
    });
    EXPECT_EQ(readFile(folder + "/caf\xC3\xA9.log"), "OUT");
}

}  // namespace
}  // namespace jvm
