#include "platform/failure.h"
#include "platform/text_file.h"
#include "settings/module_ini.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tolvane::settings {
namespace {

using tolvane::testing::TempDir;
using tolvane::testing::writeFile;

TEST(ModuleINI, ReadsAndWritesKeysOfTheSelectedFile) {
    TempDir dir;
    ModuleINI ini(dir.str());
    const std::string path = dir / "Tolvane.Ini";
    EXPECT_TRUE(ini.setIniFileName(path));
    EXPECT_EQ(ini.iniFileName(), path);

    EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(ini.writeIniValue("Tolvane", "SaveAt", "/backup"));
    EXPECT_EQ(platform::readFileBytes(path), "[Tolvane]\r\nSaveAt=/backup\r\n");
    EXPECT_EQ(ini.readIniValue("tolvane", "saveat"), "/backup");
    EXPECT_EQ(ini.readIniValue("Tolvane", "Interval"), "");

    EXPECT_TRUE(ini.writeIniValue("Tolvane", "TargetFolder", std::string(300, 'd')));
    EXPECT_EQ(ini.readIniValue("Tolvane", "TargetFolder"), std::string(255, 'd'));
}

TEST(ModuleINI, ReportsARefusedWrite) {
    TempDir dir;
    ModuleINI ini(dir.str());
    std::filesystem::create_directory(dir / "Tolvane.Ini");
    ini.setIniFileName(dir / "Tolvane.Ini");
    EXPECT_FALSE(ini.writeIniValue("Tolvane", "SaveAt", "/backup"));
    // A file that is there but cannot be read reads as empty.
    EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "");

    writeFile(dir / "ro.ini", "[Tolvane]\r\nSaveAt=/old\r\n");
    std::filesystem::permissions(dir / "ro.ini", std::filesystem::perms::owner_read);
    ini.setIniFileName(dir / "ro.ini");
    EXPECT_FALSE(ini.writeIniValue("Tolvane", "SaveAt", "/new"));
    EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/old");

    ini.setIniFileName(dir / "ok.ini");
    EXPECT_FALSE(ini.writeIniValue("Tolvane", "SaveAt", "/a\r\n[Other]"));
}

TEST(ModuleINI, WhileReadOnceLivesEachFileIsReadOnceAndAWriteReadsItAgain) {
    TempDir dir;
    int reads = 0;
    ModuleINI ini(dir.str(), [&reads](const std::string& path) {
        ++reads;
        return platform::PrivateProfile::load(path);
    });
    const std::string path = dir / "Tolvane.Ini";
    writeFile(path, "[Tolvane]\r\nSaveAt=/one\r\nInterval=10\r\n");
    ini.setIniFileName(path);
    {
        ModuleINI::ReadOnce once(ini);
        EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/one");
        EXPECT_EQ(ini.readIniValue("Tolvane", "Interval"), "10");
        EXPECT_EQ(ini.readIniValue("Tolvane", "Missing"), "");
        EXPECT_EQ(reads, 1);

        writeFile(path, "[Tolvane]\r\nSaveAt=/edited\r\nInterval=10\r\n");
        EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/one");
        // The module's own write is seen, and so is the file it wrote into.
        EXPECT_TRUE(ini.writeIniValue("Tolvane", "Interval", "20"));
        EXPECT_EQ(ini.readIniValue("Tolvane", "Interval"), "20");
        EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/edited");
        EXPECT_EQ(reads, 2);
    }
    // Outside, every read reads the file as it is.
    writeFile(path, "[Tolvane]\r\nSaveAt=/later\r\n");
    EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/later");
    EXPECT_EQ(ini.readIniValue("Tolvane", "SaveAt"), "/later");
    EXPECT_EQ(reads, 4);
}

TEST(ModuleINI, CommonFileNamesItselfUnlessTheFileSaysOtherwise) {
    TempDir dir;
    ModuleINI ini(dir.str());
    const std::string own = dir / "Tolvane.ini";
    EXPECT_EQ(ini.getCommonIniFileName(), own);
    EXPECT_EQ(ini.iniFileName(), own);
    EXPECT_EQ(ini.commonIniFileName(), own);
    EXPECT_EQ(ini.iniVersion(), "1.0" + std::string(97, '\0'));

    writeFile(
        own,
        "[Tolvane]\r\nVersion=バージョン2\r\n[COMMON]\r\nCommonIniFileName=/etc/common.ini\r\n");
    EXPECT_EQ(ini.getCommonIniFileName(), "/etc/common.ini");
    // The buffer holds characters, not bytes.
    EXPECT_EQ(ini.iniVersion(), "バージョン2" + std::string(94, '\0'));

    // A file that cannot be read has no such key: it names itself again.
    std::filesystem::remove(own);
    std::filesystem::create_directory(own);
    EXPECT_EQ(ini.getCommonIniFileName(), own);
    EXPECT_EQ(ini.iniVersion(), "1.0" + std::string(97, '\0'));
}

TEST(ModuleINI, RootFolderGetsNoDoubleSeparator) {
    ModuleINI ini("/");
    ini.getCommonIniFileName();
    EXPECT_EQ(ini.iniFileName(), "/Tolvane.ini");
}

} // namespace
} // namespace tolvane::settings
