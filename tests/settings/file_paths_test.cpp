#include "file_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "scratch.h"

namespace kerf {
namespace {

namespace fs = std::filesystem;

struct Folders {
    std::string data;
    std::string config;
    std::string data_prefix;  // what the four WAV paths start with
    std::string ini;
};

void PrintTo(const Folders& c, std::ostream* os) { *os << '"' << c.data << '"'; }

class FilePathsJoin : public testing::TestWithParam<Folders> {};

TEST_P(FilePathsJoin, JoinWithOneSlash) {
    const auto& c = GetParam();
    const FilePaths p = file_paths(c.data, c.config);
    EXPECT_EQ(p.fill_cut, c.data_prefix + "Fillcut.wav");
    EXPECT_EQ(p.home, c.data_prefix + "Home.wav");
    EXPECT_EQ(p.start, c.data_prefix + "Start.wav");
    EXPECT_EQ(p.pin, c.data_prefix + "Pin.wav");
    EXPECT_EQ(p.ini, c.ini);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePathsJoin,
    testing::Values(Folders{"/home/anna/.local/share", "/home/anna/.config",
                            "/home/anna/.local/share/", "/home/anna/.config/Kerfplanner.ini"},
                    Folders{"/home/anna/.local/share/", "/home/anna/.config//",
                            "/home/anna/.local/share/", "/home/anna/.config/Kerfplanner.ini"},
                    Folders{"/data with space", "/", "/data with space/", "/Kerfplanner.ini"},
                    Folders{"", "", "", "Kerfplanner.ini"}));

TEST(EnsureFolder, CreatesMissingParents) {
    test::ScratchDir dir;
    const auto deep = dir.file("a/b/c");
    ASSERT_NO_THROW(ensure_folder(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_NO_THROW(ensure_folder(deep)) << "an existing folder is fine";
    EXPECT_NO_THROW(ensure_folder(deep + "/"));
}

TEST(EnsureFolder, FailsWithTheFolderNamed) {
    test::ScratchDir dir;
    test::write_all(dir.file("plain"), "x");
    for (const auto& bad : {dir.file("plain"), dir.file("plain/sub")}) {
        try {
            ensure_folder(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace kerf
