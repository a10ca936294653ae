#include "jre/jre_not_found.h"

#include <gtest/gtest.h>

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
