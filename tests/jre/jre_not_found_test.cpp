#include "jre/jre_not_found.h"

#include <gtest/gtest.h>

#include "jre/pe_image.h"
#include "resources/resource_ids.h"
#include "tests/jre/fake_jre_environment.h"

namespace jre {
namespace {

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
        pickFromBrowsedFolder(L"C:\\client-only", JvmType::ServerOnly, files, kMachineI386, L"");
    EXPECT_EQ(clientOnly.folder, L"C:\\client-only\\");
    EXPECT_FALSE(clientOnly.confirmable());

    const JrePick server =
        pickFromBrowsedFolder(L"C:\\both", JvmType::ServerOnly, files, kMachineI386, L"");
    EXPECT_TRUE(server.confirmable());
    EXPECT_EQ(server.jvmLibraryPath, L"C:\\both\\bin\\server\\jvm.dll");

    const JrePick client =
        pickFromBrowsedFolder(L"C:\\both\\", JvmType::ClientFirst, files, kMachineI386, L"");
    EXPECT_EQ(client.jvmLibraryPath, L"C:\\both\\bin\\client\\jvm.dll");

    EXPECT_FALSE(
        pickFromBrowsedFolder(L"", JvmType::ClientFirst, files, kMachineI386, L"").confirmable());
}

TEST(PickFromBrowsedFolder, AnotherMachinesRuntimeNeedsAPairAndIsExplained) {
    fakes::FakeFileSystem files;
    files.addFile(L"C:\\rt64\\bin\\client\\jvm.dll", kMachineAmd64);
    files.addFile(L"C:\\rt32\\bin\\client\\jvm.dll", kMachineI386);
    files.addFile(L"C:\\odd\\bin\\client\\jvm.dll");  // not a readable image: the load judges
    const auto loadString = [](unsigned id) {
        return id == IDS_JRE_OTHER_MACHINE ? std::wstring(L"is %s, needs %s") : std::wstring();
    };
    struct Case {
        const wchar_t* folder;
        uint16_t launcher;
        const wchar_t* pair;
        bool confirmable;
        const wchar_t* hint;
    };
    const Case cases[] = {
        {L"C:\\rt64", kMachineI386, L"", false, L"is 64-bit, needs 32-bit"},
        {L"C:\\rt64", kMachineI386, L"MyApp64.exe", true, L""},
        {L"C:\\rt32", kMachineAmd64, L"", false, L"is 32-bit, needs 64-bit"},
        {L"C:\\rt32", kMachineI386, L"", true, L""},
        {L"C:\\odd", kMachineI386, L"", true, L""},
        {L"C:\\none", kMachineI386, L"", false, L""},
    };
    for (const auto& c : cases) {
        const JrePick pick =
            pickFromBrowsedFolder(c.folder, JvmType::ClientFirst, files, c.launcher, c.pair);
        EXPECT_EQ(pick.confirmable(), c.confirmable) << c.folder << " " << c.pair;
        EXPECT_EQ(pickHint(pick, c.launcher, loadString), c.hint) << c.folder;
    }
}

}  // namespace
}  // namespace jre
