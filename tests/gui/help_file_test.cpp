// Finding the help file from ZUROR_HLP and the search path.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "gui/help_file.h"

namespace gui {
namespace {

void touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(HelpFile, FoundFromTheVariableTheSearchPathOrTakenAsItStands) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::string base = root.path().toStdString();
  QDir(root.path()).mkpath("with");
  QDir(root.path()).mkpath("without");
  QDir(root.path()).mkpath("also");
  touch(root.filePath("with/ZUROR.HLP"));
  touch(root.filePath("also/ZUROR.HLP"));
  touch(root.filePath("mine.hlp"));

  struct Case {
    const char* name;
    std::optional<std::string> variable;
    std::string path;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"variable names a file", base + "/mine.hlp", "", base + "/mine.hlp"},
      {"variable names a directory", base + "/with", "", base + "/with/ZUROR.HLP"},
      {"variable names a directory with its slash", base + "/with/", "", base + "/with/ZUROR.HLP"},
      {"variable names a missing file: the bare name", base + "/nothing.hlp", base + "/with", "ZUROR.HLP"},
      {"variable names a directory without the file", base + "/without", "", "ZUROR.HLP"},
      {"variable set but empty", std::string(), base + "/with", "ZUROR.HLP"},
      {"unset: first match along the path", std::nullopt, base + "/without:" + base + "/also:" + base + "/with",
       base + "/also/ZUROR.HLP"},
      {"unset: no match", std::nullopt, base + "/without", "ZUROR.HLP"},
      {"unset: empty path", std::nullopt, "", "ZUROR.HLP"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(find_help_file(HelpEnvironment{test.variable, test.path}), test.expected);
  }
}

}  // namespace
}  // namespace gui
