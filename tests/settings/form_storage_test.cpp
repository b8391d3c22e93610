#include "settings/form_storage.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/private_profile.h"
#include "platform/process.h"
#include "settings/connection_settings.h"
#include "settings/form_storage_owner.h"
#include "settings/stored_component.h"
#include "support/temp_folder.h"

namespace zered {
namespace {

// The window side as the main window provides it: a folder field with the property "Path".
class FakeFolderField : public IStoredComponent {
 public:
  std::string Name() const override { return "LMDBrowseEdit1"; }
  std::optional<std::string> FindProperty(std::string_view name) const override {
    for (const char* declared : {"Path", "Text"}) {
      if (name.size() == std::strlen(declared) &&
          ::strncasecmp(name.data(), declared, name.size()) == 0) {
        return declared;
      }
    }
    return std::nullopt;
  }
  std::string GetPropertyText(const std::string& declared_name) const override {
    return declared_name == "Path" ? path : "text";
  }
  void SetPropertyText(const std::string& declared_name, const std::string& value) override {
    if (refuse_values) throw std::runtime_error("cannot assign");
    if (declared_name == "Path") path = value;
  }

  std::string path;
  bool refuse_values = false;
};

class FakeWindow : public IFormStorageOwner {
 public:
  std::string ClassName() const override { return "TForm1"; }
  IStoredComponent* FindComponent(std::string_view name) override {
    const std::string_view declared = "LMDBrowseEdit1";
    return name.size() == declared.size() &&
                   ::strncasecmp(name.data(), declared.data(), name.size()) == 0
               ? &field
               : nullptr;
  }
  void ShowException(const std::exception& error) override { errors.push_back(error.what()); }

  FakeFolderField field;
  std::vector<std::string> errors;
};

// The program lives in <folder>/bin/zered, so its window settings file is bin/zered.INI and
// the connection settings file velbor05.ini.
class FormStorageTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder_.Path() + "bin");
    UseProgramFolder("bin/");
  }
  void TearDown() override { OverrideExecutablePath(""); }

  void UseProgramFolder(const std::string& relative) {
    OverrideExecutablePath(folder_.Path() + relative + "zered");
  }

  // A storage built as the main window's layout builds it.
  std::unique_ptr<TFormStorage> MakeStorage(std::vector<std::string> lines = {
                                                "LMDBrowseEdit1.Path"}) {
    auto storage = std::make_unique<TFormStorage>(window_);
    storage->SetStoredProps(std::move(lines));
    storage->Loaded();
    return storage;
  }

  // Shows a window, closes it with `path` in the field; returns what the next window restores.
  std::string SaveAndRestore(const std::string& path) {
    {
      auto storage = MakeStorage();
      storage->HandleShow();
      window_.field.path = path;
      storage->HandleCloseGranted();
      storage->HandleDestroy();
    }
    window_.field.path = "layout value";
    MakeStorage()->HandleShow();
    return window_.field.path;
  }

  test::TempFolder folder_;
  FakeWindow window_;
};

TEST_F(FormStorageTest, FirstCloseCreatesTheWindowSettingsFile) {
  auto storage = MakeStorage();
  storage->HandleShow();
  window_.field.path = "/data/ostrun";
  storage->HandleCloseGranted();
  EXPECT_EQ(folder_.Get("bin/zered.INI"),
            "[TForm1]\r\nFormVersion=0\r\nLMDBrowseEdit1_Path=/data/ostrun\r\n");
  EXPECT_TRUE(window_.errors.empty());
}

TEST_F(FormStorageTest, FolderComesBackAsItIsKept) {
  struct Case {
    const char* field;
    const char* restored;
  };
  for (const Case& c : {Case{"  /data/ostrun \t", "/data/ostrun"}, Case{"\"/q d/\"", "\"/q d/\""},
                        Case{"'/s/'", "'/s/'"}, Case{"", ""}}) {
    EXPECT_EQ(SaveAndRestore(c.field), c.restored) << c.field;
  }
  EXPECT_TRUE(window_.errors.empty());
}

TEST_F(FormStorageTest, FormVersionDecidesWhetherTheFolderIsRestored) {
  struct Case {
    const char* stored_version;
    int32_t version;
    bool restored;
  };
  for (const Case& c : {Case{"0", 0, true}, Case{"7", 0, true}, Case{"-1", 0, false},
                        Case{"3", 5, false}, Case{"5", 5, true}, Case{"junk", 0, true}}) {
    SCOPED_TRACE(c.stored_version);
    folder_.Put("bin/zered.INI", std::string("[TForm1]\r\nFormVersion=") + c.stored_version +
                                     "\r\nLMDBrowseEdit1_Path=/kept\r\n");
    window_.field.path = "/layout";
    auto storage = MakeStorage();
    storage->SetVersion(c.version);
    storage->HandleShow();
    EXPECT_EQ(window_.field.path, c.restored ? "/kept" : "/layout");
    // A skipped restore still counts as restored: the close writes the current state.
    storage->HandleCloseGranted();
    EXPECT_EQ(folder_.Get("bin/zered.INI"), "[TForm1]\r\nFormVersion=" + std::to_string(c.version) +
                                                "\r\nLMDBrowseEdit1_Path=" + window_.field.path +
                                                "\r\n");
  }
}

TEST_F(FormStorageTest, SaveLeavesHandWrittenLinesAlone) {
  const std::string before =
      "; written by hand\n[Other]\nx = 1\n\n[tform1]\nExtra = keep\n"
      "lmdbrowseedit1_path = /old\n# trailing note\n";
  folder_.Put("bin/zered.INI", before);
  auto storage = MakeStorage();
  storage->HandleShow();
  EXPECT_EQ(window_.field.path, "/old");
  window_.field.path = "/new";
  storage->HandleCloseGranted();
  const std::string after = folder_.Get("bin/zered.INI");
  const std::string file = folder_.File("bin/zered.INI");
  EXPECT_EQ(ReadProfileString(file, "Other", "x", "-"), "1");
  EXPECT_EQ(ReadProfileString(file, "TForm1", "Extra", "-"), "keep");
  EXPECT_EQ(ReadProfileString(file, "TForm1", "LMDBrowseEdit1_Path", "-"), "/new");
  EXPECT_EQ(ReadProfileString(file, "TForm1", "FormVersion", "-"), "0");
  for (const char* line : {"; written by hand", "# trailing note"}) {
    EXPECT_NE(after.find(line), std::string::npos) << line;
  }
  // Only the value changes and the new key follows the section's last entry. On Windows the
  // layout is the profile functions' own: Windows keeps the other lines, Wine writes the whole
  // file anew (CR LF, no blanks around "=", no empty lines).
#ifndef _WIN32
  EXPECT_EQ(after,
            "; written by hand\n[Other]\nx = 1\n\n[tform1]\nExtra = keep\n"
            "lmdbrowseedit1_path =/new\nFormVersion=0\r\n# trailing note\n");
#endif
}

TEST_F(FormStorageTest, StoredPropsLinesBindIgnoringCaseAndBlanks) {
  struct Case {
    const char* line;
    bool bound;  // to the folder field
    bool saved;  // under the key LMDBrowseEdit1_Path
  };
  for (const Case& c :
       {Case{"LMDBrowseEdit1.Path", true, true}, Case{" lmdbrowseedit1 . PATH ", true, true},
        Case{"LMDBrowseEdit1.Path.Extra", true, false}, Case{"LMDBrowseEdit1.", false, false},
        Case{".Path", false, false}, Case{"LMDBrowseEdit1Path", false, false},
        Case{"Button3.Caption", false, false}}) {
    SCOPED_TRACE(c.line);
    std::filesystem::remove(folder_.Path() + "bin/zered.INI");
    window_.field.path = "/x";
    auto storage = MakeStorage({c.line});
    EXPECT_EQ(storage->StoredProps().size(), c.bound ? 1u : 0u);
    storage->HandleShow();
    storage->HandleCloseGranted();
    EXPECT_EQ(folder_.Get("bin/zered.INI"),
              c.saved ? "[TForm1]\r\nFormVersion=0\r\nLMDBrowseEdit1_Path=/x\r\n"
                      : "[TForm1]\r\nFormVersion=0\r\n");
  }
}

TEST_F(FormStorageTest, DestroyedComponentIsForgotten) {
  auto storage = MakeStorage({"LMDBrowseEdit1.Path", "LMDBrowseEdit1.Text"});
  storage->ComponentDestroyed(&window_.field);
  EXPECT_TRUE(storage->StoredProps().empty());
  storage->HandleShow();
  storage->HandleCloseGranted();
  EXPECT_EQ(folder_.Get("bin/zered.INI"), "[TForm1]\r\nFormVersion=0\r\n");
}

TEST_F(FormStorageTest, ValueThePropertyRefusesIsIgnored) {
  folder_.Put("bin/zered.INI", "[TForm1]\r\nLMDBrowseEdit1_Path=/kept\r\n");
  window_.field.path = "/layout";
  window_.field.refuse_values = true;
  auto storage = MakeStorage({"LMDBrowseEdit1.Nothing", "LMDBrowseEdit1.Path"});
  storage->HandleShow();
  EXPECT_EQ(window_.field.path, "/layout");
  EXPECT_TRUE(window_.errors.empty());
  storage->HandleCloseGranted();
  EXPECT_EQ(folder_.Get("bin/zered.INI"),
            "[TForm1]\r\nLMDBrowseEdit1_Path=/layout\r\nFormVersion=0\r\n");
}

TEST_F(FormStorageTest, WindowThatWasNeverShownOrIsInactiveKeepsNothing) {
  folder_.Put("bin/zered.INI", "[TForm1]\r\nLMDBrowseEdit1_Path=/kept\r\n");
  window_.field.path = "/layout";
  {
    auto storage = MakeStorage();
    storage->HandleCloseGranted();
    storage->HandleDestroy();
  }
  {
    auto storage = MakeStorage();
    storage->SetActive(false);
    storage->HandleShow();
    EXPECT_EQ(window_.field.path, "/layout");
    storage->HandleCloseGranted();
    storage->HandleDestroy();
  }
  EXPECT_EQ(folder_.Get("bin/zered.INI"), "[TForm1]\r\nLMDBrowseEdit1_Path=/kept\r\n");
}

TEST_F(FormStorageTest, SavedCloseIsNotRepeatedAtDestruction) {
  auto storage = MakeStorage();
  storage->HandleShow();
  window_.field.path = "/at close";
  storage->HandleCloseGranted();
  window_.field.path = "/later";
  storage->HandleDestroy();
  EXPECT_EQ(storage->ReadSettingString("LMDBrowseEdit1_Path", ""), "/at close");
}

// The window settings file's folder does not exist at close; it may appear before destruction.
TEST_F(FormStorageTest, FailedSaveIsReportedAndTriedOnceMoreAtDestruction) {
  for (const bool folder_appears : {false, true}) {
    SCOPED_TRACE(folder_appears);
    const std::string bin = folder_appears ? "late/" : "never/";
    UseProgramFolder(bin);
    window_.errors.clear();
    const std::string message = "Unable to write to " + folder_.Path() + bin + "zered.INI";

    auto storage = MakeStorage();
    storage->HandleShow();
    window_.field.path = "/data";
    storage->HandleCloseGranted();
    EXPECT_EQ(window_.errors, std::vector<std::string>{message});

    if (folder_appears) std::filesystem::create_directory(folder_.Path() + bin);
    storage->HandleDestroy();
    EXPECT_EQ(window_.errors.size(), folder_appears ? 1u : 2u);
    EXPECT_EQ(window_.errors.back(), message);
    EXPECT_EQ(folder_.Get(bin + "zered.INI"),
              folder_appears ? "[TForm1]\r\nFormVersion=0\r\nLMDBrowseEdit1_Path=/data\r\n"
                             : "<missing>");
  }
}

TEST_F(FormStorageTest, DefaultsFollowTheExecutableAndTheOwner) {
  TFormStorage storage(window_);
  EXPECT_EQ(storage.IniFileName(), folder_.Path() + "bin/zered.INI");
  EXPECT_EQ(storage.IniSection(), "TForm1");
  OverrideExecutablePath("/opt/tool/bin/tool.exe");
  EXPECT_EQ(storage.IniFileName(), "/opt/tool/bin/tool.INI");
  storage.SetIniFileName("/etc/x.ini");
  storage.SetIniSection("LogON");
  EXPECT_EQ(storage.IniFileName(), "/etc/x.ini");
  EXPECT_EQ(storage.IniSection(), "LogON");
}

TEST_F(FormStorageTest, ConnectionSettingsComeFromTheFolderAbove) {
  struct Case {
    const char* name;
    std::string content;  // of velbor05.ini; empty for no file
    ConnectionSettings expected;
  };
  for (const Case& c : {
           Case{"NoFile", "", {"localhost", "root", "", 3306}},
           Case{"Full",
                "[LogON]\r\nIP=db.local\r\nUser=velbor\r\nPassword=\"p w\"\r\nSQLport=3307\r\n",
                {"db.local", "velbor", "p w", 3307}},
           Case{"LowerCase",
                "[logon]\nip=h\nuser=u\npassword=p\nsqlport=$CEB\n",
                {"h", "u", "p", 3307}},
           Case{"EmptyIp", "[LogON]\r\nIP=\r\nSQLport=0xCEB\r\n", {"", "root", "", 3307}},
           Case{"BadPort", "[LogON]\r\nSQLport=3307x\r\n", {"localhost", "root", "", 3306}},
           Case{"EmptyPort", "[LogON]\r\nSQLport=\r\n", {"localhost", "root", "", 3306}},
           Case{"OtherSection", "[LogOff]\r\nIP=h\r\n", {"localhost", "root", "", 3306}},
       }) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(folder_.Path() + "velbor05.ini");
    if (!c.content.empty()) folder_.Put("velbor05.ini", c.content);
    auto storage = MakeStorage();
    storage->HandleShow();
    const ConnectionSettings settings = ReadConnectionSettings(*storage);
    EXPECT_EQ(settings.host_name, c.expected.host_name);
    EXPECT_EQ(settings.user, c.expected.user);
    EXPECT_EQ(settings.password, c.expected.password);
    EXPECT_EQ(settings.port, c.expected.port);
    // The close after a run still goes to the window settings file, never to velbor05.ini.
    storage->HandleCloseGranted();
    EXPECT_TRUE(window_.errors.empty());
    EXPECT_EQ(folder_.Get("velbor05.ini"), c.content.empty() ? "<missing>" : c.content);
    EXPECT_NE(folder_.Get("bin/zered.INI"), "<missing>");
  }
}

}  // namespace
}  // namespace zered
