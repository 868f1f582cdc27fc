// Where the program keeps its settings: beside a program that runs from a folder
// of its own, in the user's configuration folder for an installed one.
#include "settings/environment.hpp"
#include "support/temp_dir.hpp"
#include "support/unprivileged.hpp"

#include <QByteArray>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace quorvel {
namespace {

// Sets an environment variable for the life of the object, then puts back what was.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value)
        : name_(name), old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
        Set(value ? std::optional(QByteArray::fromStdString(*value)) : std::nullopt);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { Set(old_); }

private:
    void Set(const std::optional<QByteArray>& value) const {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
    }
    const char* name_;
    std::optional<QByteArray> old_;
};

class SettingsPlace : public ::testing::Test {
protected:
    std::string SettingsOf(const std::string& program) const {
        return SettingsFileFor(QString::fromStdString(program)).toStdString();
    }

    test::TempDir sandbox_;
    ScopedVariable home_{"HOME", sandbox_ / "home"};
    ScopedVariable config_{"XDG_CONFIG_HOME", sandbox_ / "config"};
};

TEST_F(SettingsPlace, AProgramInAFolderOfItsOwnKeepsThemBesideIt) {
    for (const char* folder : {"build/release/src/app", "portable", "usr", "home/usr/bin"}) {
        std::filesystem::create_directories(sandbox_ / folder);
        EXPECT_EQ(SettingsOf(sandbox_ / folder + "/quorvel"), sandbox_ / folder + "/quorvel.ini") << folder;
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox_ / "config/quorvel"));
}

// Root may write to /usr/bin, but the settings of one user have no place there.
TEST_F(SettingsPlace, AnInstalledProgramKeepsThemInTheUsersConfigurationAlsoAsRoot) {
    const std::string expected = sandbox_ / "config/quorvel/quorvel.ini";
    for (const char* program :
         {"/usr/bin/quorvel", "/usr/local/bin/quorvel", "/usr/games/quorvel", "/opt/quorvel/bin/quorvel",
          "/bin/quorvel", "/sbin/quorvel", "/usr/lib/quorvel/quorvel", "/opt/quorvel"}) {
        EXPECT_EQ(SettingsOf(program), expected) << program;
    }
    EXPECT_TRUE(std::filesystem::is_directory(sandbox_ / "config/quorvel"));
    EXPECT_FALSE(std::filesystem::exists("/usr/bin/quorvel.ini"));

    // Reached through a link of the user's own, /usr/bin is still /usr/bin.
    std::filesystem::create_directory_symlink("/usr/bin", sandbox_ / "programs");
    EXPECT_EQ(SettingsOf(sandbox_ / "programs/quorvel"), expected);
}

TEST_F(SettingsPlace, WithoutAnAbsoluteConfigurationFolderItIsTheOneInTheHome) {
    const std::string expected = sandbox_ / "home/.config/quorvel/quorvel.ini";
    for (const std::optional<std::string>& config :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("config")}) {
        const ScopedVariable variable("XDG_CONFIG_HOME", config);
        EXPECT_EQ(SettingsOf("/usr/bin/quorvel"), expected) << config.value_or("(unset)");
    }
    EXPECT_TRUE(std::filesystem::is_directory(sandbox_ / "home/.config/quorvel"));
}

TEST_F(SettingsPlace, AFolderThatCannotBeWrittenSendsThemToTheConfiguration) {
    std::filesystem::create_directories(sandbox_ / "readonly");
    std::filesystem::create_directories(sandbox_ / "config");
    // The child without root's rights must reach the folders and make its own.
    for (const char* folder : {"", "/readonly", "/config"}) {
        ASSERT_EQ(
            ::chmod((sandbox_.path() + folder).c_str(), folder == std::string("/readonly") ? 0555 : 0777), 0);
    }
    const std::string program = sandbox_ / "readonly/quorvel";
    const std::string expected = sandbox_ / "config/quorvel/quorvel.ini";
    const auto status = test::InChildWithoutRoot([&] { return SettingsOf(program) == expected ? 0 : 1; });
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "the settings were not sent to the configuration folder";
}

} // namespace
} // namespace quorvel
