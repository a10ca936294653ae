#include "jre/jre_not_found.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/jre/fake_jre_environment.h"

namespace jre {
namespace {

std::wstring fakeStringTable(unsigned id) {
    static const std::map<unsigned, std::wstring> table = {
        {IDS_JRE_NOT_FOUND_SERVER, L"server JVM (%s) from:"},
        {IDS_JRE_NOT_FOUND, L"JRE (%s) from:"},
        {IDS_LATEST_VERSION, L"latest version"},
        {IDS_MINIMUM_VERSION, L"minimum version %s"},
        {IDS_VERSION_RANGE, L"version between %s and %s"},
    };
    const auto found = table.find(id);
    return found == table.end() ? L"?" : found->second;
}

struct MessageCase {
    JvmType type;
    const wchar_t* minimum;
    const wchar_t* maximum;
    const wchar_t* expected;
};

TEST(JreNotFoundMessage, NamesTheServerJvmOnlyForServerOnlyAndFillsInThePhrase) {
    const std::vector<MessageCase> cases = {
        {JvmType::ServerOnly, L"any", L"any", L"server JVM (latest version) from:"},
        {JvmType::ClientFirst, L"any", L"any", L"JRE (latest version) from:"},
        {JvmType::ServerFirst, L"1.8", L"any", L"JRE (minimum version 1.8) from:"},
        {JvmType::ServerOnly, L"1.7", L"1.7", L"server JVM (version between 1.7 and 1.7) from:"},
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(jreNotFoundMessage(c.type, minimumVersionFromSetting(c.minimum),
                                     maximumVersionFromSetting(c.maximum), fakeStringTable),
                  c.expected)
            << c.minimum << L" " << c.maximum;
    }
}

TEST(ChosenFolderOf, EndsInExactlyOneBackslash) {
    EXPECT_EQ(chosenFolderOf(L"C:\\Program Files\\Java\\jre8"), L"C:\\Program Files\\Java\\jre8\\");
    EXPECT_EQ(chosenFolderOf(L"D:\\"), L"D:\\");
    EXPECT_EQ(chosenFolderOf(L"\\\\server\\share"), L"\\\\server\\share\\");
    EXPECT_EQ(chosenFolderOf(L""), L"");
}

TEST(PickFromBrowsedFolder, IsConfirmableOnlyWithALibraryOfTheJvmType) {
    fakes::FakeFileSystem files;
    files.addFile(L"C:\\client-only\\bin\\client\\jvm.dll");
    files.addFile(L"C:\\both\\bin\\client\\jvm.dll");
    files.addFile(L"C:\\both\\bin\\server\\jvm.dll");
    // No "bin\java.dll" anywhere: a pick does not need the runtime marker.

    const JrePick clientOnly =
        pickFromBrowsedFolder(L"C:\\client-only", JvmType::ServerOnly, files);
    EXPECT_EQ(clientOnly.folder, L"C:\\client-only\\");
    EXPECT_FALSE(clientOnly.confirmable());

    const JrePick server = pickFromBrowsedFolder(L"C:\\both", JvmType::ServerOnly, files);
    EXPECT_TRUE(server.confirmable());
    EXPECT_EQ(server.jvmLibraryPath, L"C:\\both\\bin\\server\\jvm.dll");

    const JrePick client = pickFromBrowsedFolder(L"C:\\both\\", JvmType::ClientFirst, files);
    EXPECT_EQ(client.jvmLibraryPath, L"C:\\both\\bin\\client\\jvm.dll");

    EXPECT_FALSE(pickFromBrowsedFolder(L"", JvmType::ClientFirst, files).confirmable());
}

}  // namespace
}  // namespace jre
