#include "jre/jre_pick.h"

#include <gtest/gtest.h>

#include "jre/pe_image.h"
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

TEST(PickFromBrowsedFolder, AnotherMachinesRuntimeNeedsAPair) {
    fakes::FakeFileSystem files;
    files.addFile(L"C:\\rt64\\bin\\client\\jvm.dll", kMachineAmd64);
    files.addFile(L"C:\\rt32\\bin\\client\\jvm.dll", kMachineI386);
    files.addFile(L"C:\\odd\\bin\\client\\jvm.dll");  // not a readable image: the load judges
    struct Case {
        const wchar_t* folder;
        uint16_t launcher;
        const wchar_t* pair;
        bool confirmable;
        std::optional<uint16_t> unrunnableMachine;
    };
    const Case cases[] = {
        {L"C:\\rt64", kMachineI386, L"", false, kMachineAmd64},
        {L"C:\\rt64", kMachineI386, L"MyApp64.exe", true, std::nullopt},
        {L"C:\\rt32", kMachineAmd64, L"", false, kMachineI386},
        {L"C:\\rt32", kMachineI386, L"", true, std::nullopt},
        {L"C:\\odd", kMachineI386, L"", true, std::nullopt},
        {L"C:\\none", kMachineI386, L"", false, std::nullopt},
    };
    for (const auto& c : cases) {
        const JrePick pick =
            pickFromBrowsedFolder(c.folder, JvmType::ClientFirst, files, c.launcher, c.pair);
        EXPECT_EQ(pick.confirmable(), c.confirmable) << c.folder << " " << c.pair;
        EXPECT_EQ(pick.unrunnableMachine, c.unrunnableMachine) << c.folder << " " << c.pair;
    }
}

}  // namespace
}  // namespace jre
