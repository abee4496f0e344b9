#include "ini_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "scratch.h"

namespace kerf {
namespace {

namespace fs = std::filesystem;
using test::read_all;
using test::run_in_child;
using test::ScratchDir;
using test::write_all;

std::vector<std::string> non_blank_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) lines.push_back(line);
    }
    return lines;
}

bool has_temp_files(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos) return true;
    }
    return false;
}

// The thirteen keys the window writes, in its order.
const std::vector<std::pair<std::string, std::string>> kWindowKeys = {
    {"saw_width", "3.20"}, {"distance", "100"}, {"pin_width", "10"}, {"cut_width", "10"},
    {"no_cuts", "2"},      {"start_x", "0"},    {"minfreq", "050"},  {"maxfreq", "10000"},
    {"steps_rev", "5000"}, {"mm_rev", "5"},     {"st_time", "0.1"}};

TEST(IniStore, NewFileHoldsTheKeysInOrderAndReadsBack) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    {
        IniStore store(path);
        for (const auto& [key, value] : kWindowKeys) store.set_text(key, value);
        store.set_decimal("scale", 1.5);
        store.set_boolean("is_checked", true);
        store.save();
    }
    std::string expected = "[program]\n";
    for (const auto& [key, value] : kWindowKeys) expected += key + "=" + value + "\n";
    expected += "scale=1.5\nis_checked=1\n";
    EXPECT_EQ(read_all(path), expected);

    IniStore again(path);
    for (const auto& [key, value] : kWindowKeys) EXPECT_EQ(again.text(key), value) << key;
    EXPECT_EQ(again.decimal("scale"), 1.5);
    EXPECT_EQ(again.boolean("is_checked"), true);
    EXPECT_FALSE(fs::exists(path + ".tmp")) << "no temporary file left behind";
    EXPECT_FALSE(has_temp_files(dir.path()));
}

// Values are stored as the field holds them and read back as they stand, also with the
// spaces the number rules allow around a number.
TEST(IniStore, TextValuesRoundTripExactly) {
    const std::vector<std::string> values = {
        "3.20",   "",    " 5000",           "3.2 ",      " 3.2 ", "1e3", "two", "3,2",
        "\"5\"x", "a=b", "; not a comment", "[program]", "\t7\t"};
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    {
        IniStore store(path);
        for (std::size_t i = 0; i < values.size(); ++i) {
            store.set_text("key" + std::to_string(i), values[i]);
        }
        store.save();
    }
    IniStore again(path);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(again.text("key" + std::to_string(i)), values[i])
            << "value \"" << values[i] << '"';
    }
}

TEST(IniStore, ReplacesInPlaceAndKeepsEverythingElse) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    fs::copy_file(KERF_SETTINGS_TEST_DATA "/kept.ini", path);
    {
        IniStore store(path);
        EXPECT_EQ(store.text("saw_width"), "2.4");
        EXPECT_EQ(store.text("operator"), "Anna");
        EXPECT_FALSE(store.text("geometry")) << "keys of other sections are not ours";
        store.set_text("saw_width", "3.2");
        store.set_text("mm_rev", "4");
        store.set_text("st_time", "0.1");  // new: added at the end of the section
        store.save();
    }
    const std::vector<std::string> expected = {
        "; Kerfplanner settings, edited by hand on the workshop PC",
        "; (do not share this file)",
        "[window]",
        "# kept by another program",
        "geometry=447x622",
        "; the saw in use since spring",
        "[program]",
        "; thin-kerf blade",
        "saw_width=3.2",
        "distance=100",
        "operator=Anna",
        "mm_rev=4",
        "no_cuts=4",
        "st_time=0.1",
        "[notes]",
        "last_job=drawer fronts",
        "; end of the settings",
    };
    EXPECT_EQ(non_blank_lines(read_all(path)), expected);

    // A second save with nothing changed changes nothing.
    const auto once = read_all(path);
    IniStore(path).save();
    EXPECT_EQ(read_all(path), once);
}

struct HandWritten {
    std::string line;  // under [program]
    std::optional<std::string> text;
};

void PrintTo(const HandWritten& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class HandWrittenValues : public testing::TestWithParam<HandWritten> {};

// How SimpleIni reads lines written by hand: spaces and tabs around key and value are
// dropped, an empty value is empty text, keys match whatever their case, the last of
// two equal keys wins, and a pair of double quotes around a value is taken off.
TEST_P(HandWrittenValues, ReadAsSimpleIniSeesThem) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    write_all(path, "[program]\n" + GetParam().line + "\n");
    EXPECT_EQ(IniStore(path).text("saw_width"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HandWrittenValues,
    testing::Values(HandWritten{"saw_width=3.2", "3.2"},
                    HandWritten{"  saw_width  =  3.2  ", "3.2"},
                    HandWritten{"saw_width=\t3.2\t\r", "3.2"}, HandWritten{"saw_width=", ""},
                    HandWritten{"saw_width=   ", ""}, HandWritten{"SAW_WIDTH=4", "4"},
                    HandWritten{"saw_width=1\nsaw_width=2", "2"},
                    HandWritten{"saw_width=\" 3.2 \"", " 3.2 "},
                    HandWritten{"saw_width=a=b", "a=b"}, HandWritten{"saw_width", {}},
                    HandWritten{"; saw_width=3", {}}, HandWritten{"saw_width3.2", {}},
                    HandWritten{"[other]\nsaw_width=3", {}}));

struct Typed {
    std::string value;
    std::optional<bool> boolean;
    std::optional<double> decimal;
};

void PrintTo(const Typed& c, std::ostream* os) { *os << '"' << c.value << '"'; }

class TypedValues : public testing::TestWithParam<Typed> {};

TEST_P(TypedValues, FollowTheNumberRules) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    write_all(path, "[program]\nvalue=" + GetParam().value + "\n");
    IniStore store(path);
    EXPECT_EQ(store.boolean("value"), GetParam().boolean);
    EXPECT_EQ(store.decimal("value"), GetParam().decimal);
    EXPECT_FALSE(store.boolean("missing"));
    EXPECT_FALSE(store.decimal("missing"));
}

INSTANTIATE_TEST_SUITE_P(Values, TypedValues,
                         testing::Values(Typed{"1", true, 1.0}, Typed{"0", false, 0.0},
                                         Typed{"-1", true, -1.0}, Typed{"2", true, 2.0},
                                         Typed{"$0", false, {}}, Typed{"0x1", true, {}},
                                         Typed{"", {}, {}}, Typed{"yes", {}, {}},
                                         Typed{"true", {}, {}}, Typed{"1.0", {}, 1.0},
                                         Typed{"2.5", {}, 2.5}, Typed{"1,5", {}, {}},
                                         Typed{"nan", {}, {}}, Typed{"1e400", {}, {}}));

TEST(IniStore, MissingFileReadsAsEmptyAndSaveCreatesIt) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    IniStore store(path);
    EXPECT_FALSE(store.text("saw_width"));
    EXPECT_FALSE(store.boolean("is_checked"));
    EXPECT_FALSE(store.decimal("scale"));
    store.set_text("saw_width", "3.2");
    store.save();
    EXPECT_EQ(read_all(path), "[program]\nsaw_width=3.2\n");
}

TEST(IniStore, PartialAndTruncatedFilesGiveWhatTheyHold) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    // Cut off in the middle of a key: the whole lines count, the broken one is missing.
    write_all(path, "[program]\nsaw_width=3.2\ndistance=50\nmm_re");
    IniStore store(path);
    EXPECT_EQ(store.text("saw_width"), "3.2");
    EXPECT_EQ(store.text("distance"), "50");
    EXPECT_FALSE(store.text("mm_rev"));
    EXPECT_FALSE(store.text("mm_re"));
    EXPECT_FALSE(store.text("st_time"));
}

TEST(IniStore, JunkLinesAreSkipped) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    const std::string long_line(300000, 'z');
    write_all(path, "=====\n[[[\n]\n[program\n=orphan value\n" + long_line +
                        "\n[program]\nno equals here\n\xff\xfe\x01\x02=\x7f\n"
                        "saw_width=4.5\n" +
                        long_line + "=" + long_line + "\ndistance=12\n");
    IniStore store(path);
    EXPECT_EQ(store.text("saw_width"), "4.5");
    EXPECT_EQ(store.text("distance"), "12");
    store.set_text("mm_rev", "5");
    EXPECT_NO_THROW(store.save());
    EXPECT_EQ(IniStore(path).text("saw_width"), "4.5");
}

// A NUL byte stops SimpleIni's reading; the lines after it must still count.
TEST(IniStore, BinaryBytesHideNoWholeLines) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    using namespace std::string_literals;
    write_all(path, "[program]\nsaw_width=4.5\nbad=\0\0\x01\n\0\ndistance=12\n\0\0\0"s);
    IniStore store(path);
    EXPECT_EQ(store.text("saw_width"), "4.5");
    EXPECT_EQ(store.text("distance"), "12");
    EXPECT_FALSE(store.text("bad"));
}

TEST(IniStore, RandomBinaryFileNeitherCrashesNorHangs) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::string data(64 * 1024, '\0');
        // Bytes biased toward what the reader cares about.
        const std::string special = "[]=;#\n\r \t\"\0";
        for (auto& c : data) {
            const auto r = random();
            c = (r % 4 == 0) ? special[r / 4 % special.size()] : static_cast<char>(r >> 8);
        }
        write_all(path, data);
        IniStore store(path);
        (void)store.text("saw_width");
        store.set_text("saw_width", "3.2");
        ASSERT_NO_THROW(store.save());
        EXPECT_EQ(IniStore(path).text("saw_width"), "3.2") << "round " << round;
    }
}

// Only the first MiB is read; a line cut by that limit counts as missing, never as a
// shortened value.
TEST(IniStore, HugeFileIsReadUpToItsFirstMebibyte) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    std::string data = "[program]\nsaw_width=7\n";
    while (data.size() < (1u << 20) - 12) data += "; filler\n";
    data.resize((1u << 20) - 12, ';');
    data += "\ndistance=123456\n";  // the limit falls between "12" and "3456"
    for (int i = 0; i < 200000; ++i) data += "mm_rev=9\n";
    write_all(path, data);
    ASSERT_GT(fs::file_size(path), 2u << 20);

    IniStore store(path);
    EXPECT_EQ(store.text("saw_width"), "7");
    EXPECT_FALSE(store.text("distance"));
    EXPECT_FALSE(store.text("mm_rev"));
    store.set_text("st_time", "0.1");
    ASSERT_NO_THROW(store.save());
    EXPECT_LT(fs::file_size(path), 2u << 20);
    EXPECT_EQ(IniStore(path).text("st_time"), "0.1");
}

// Something that is not a plain file under the name is read as no file; a pipe must
// not block the program.
TEST(IniStore, FolderOrPipeReadsAsMissing) {
    ScratchDir dir;
    const auto folder = dir.file("folder.ini");
    fs::create_directory(folder);
    EXPECT_FALSE(IniStore(folder).text("saw_width"));

    const auto pipe = dir.file("pipe.ini");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(IniStore(pipe).text("saw_width"));
}

TEST(IniStore, RefusesALineBreakThatWouldWriteAnotherKey) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    IniStore store(path);
    EXPECT_THROW(store.set_text("saw_width", "3.2\nis_checked=1"), std::invalid_argument);
    EXPECT_THROW(store.set_text("saw_width", "3.2\r"), std::invalid_argument);
    EXPECT_THROW(store.set_text("saw_width", std::string("3\0", 2)), std::invalid_argument);
    EXPECT_THROW(store.set_text("a=b", "1"), std::invalid_argument);
    EXPECT_THROW(store.set_text("", "1"), std::invalid_argument);
    store.save();
    EXPECT_FALSE(IniStore(path).text("is_checked"));
    EXPECT_FALSE(IniStore(path).text("saw_width"));
}

struct SaveFailure {
    std::string name;
    // Prepares the scratch folder and returns the path of the settings file.
    std::function<std::string(const ScratchDir&)> setup;
    bool as_user;  // runs as an unprivileged user (permissions do not stop root)
};

void PrintTo(const SaveFailure& c, std::ostream* os) { *os << c.name; }

class SaveFailures : public testing::TestWithParam<SaveFailure> {};

// The message names the file; nothing is left in the folder; an old file stays as it was.
TEST_P(SaveFailures, ThrowNamingTheFile) {
    ScratchDir dir;
    const std::string path = GetParam().setup(dir);
    const bool existed = fs::is_regular_file(path);
    const std::string before = existed ? read_all(path) : "";
    const int code = run_in_child(
        [&] {
            IniStore store(path);
            store.set_text("saw_width", "3.2");
            try {
                store.save();
            } catch (const std::runtime_error& e) {
                const std::string message = e.what();
                return message.find(path) != std::string::npos ? 0 : 2;
            }
            return 1;
        },
        GetParam().as_user);
    EXPECT_EQ(code, 0) << "1: saved anyway, 2: message does not name " << path;
    if (existed) {
        EXPECT_EQ(read_all(path), before);
    } else {
        EXPECT_FALSE(fs::is_regular_file(path));
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailures,
    testing::Values(
        SaveFailure{"missing_folder",
                    [](const ScratchDir& d) { return d.file("gone/Kerfplanner.ini"); }, false},
        SaveFailure{"file_in_place_of_folder",
                    [](const ScratchDir& d) {
                        write_all(d.file("plain"), "x");
                        return d.file("plain/Kerfplanner.ini");
                    },
                    false},
        SaveFailure{"folder_in_place_of_file",
                    [](const ScratchDir& d) {
                        fs::create_directory(d.file("Kerfplanner.ini"));
                        return d.file("Kerfplanner.ini");
                    },
                    false},
        SaveFailure{"read_only_folder",
                    [](const ScratchDir& d) {
                        fs::create_directory(d.file("locked"));
                        fs::permissions(d.file("locked"), fs::perms(0555));
                        return d.file("locked/Kerfplanner.ini");
                    },
                    true},
        SaveFailure{"read_only_folder_with_old_file",
                    [](const ScratchDir& d) {
                        fs::create_directory(d.file("locked"));
                        write_all(d.file("locked/Kerfplanner.ini"), "[program]\nsaw_width=2\n");
                        fs::permissions(d.file("locked/Kerfplanner.ini"), fs::perms(0666));
                        fs::permissions(d.file("locked"), fs::perms(0555));
                        return d.file("locked/Kerfplanner.ini");
                    },
                    true},
        SaveFailure{"read_only_file",
                    [](const ScratchDir& d) {
                        fs::create_directory(d.file("open"));
                        fs::permissions(d.file("open"), fs::perms(0777));
                        write_all(d.file("open/Kerfplanner.ini"), "[program]\nsaw_width=2\n");
                        fs::permissions(d.file("open/Kerfplanner.ini"), fs::perms(0444));
                        return d.file("open/Kerfplanner.ini");
                    },
                    true}),
    [](const testing::TestParamInfo<SaveFailure>& info) { return info.param.name; });

// A write that fails half-way (here: the file size limit) leaves the old file whole.
TEST(IniStore, FailedWriteLeavesTheOldFileIntact) {
    ScratchDir dir;
    const auto path = dir.file("Kerfplanner.ini");
    const std::string old = "; mine\n[program]\nsaw_width=2.4\n";
    write_all(path, old);
    const int code = run_in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        IniStore store(path);
        store.set_text("saw_width", "3.2");
        store.set_text("notes", std::string(100000, 'n'));
        try {
            store.save();
        } catch (const std::runtime_error& e) {
            return std::string(e.what()).find(path) != std::string::npos ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(read_all(path), old);
    EXPECT_FALSE(has_temp_files(dir.path()));
}

TEST(IniStore, SaveKeepsPermissionsAndLinks) {
    ScratchDir dir;
    fs::create_directory(dir.file("dotfiles"));
    const auto real = dir.file("dotfiles/Kerfplanner.ini");
    const auto link = dir.file("Kerfplanner.ini");
    write_all(real, "[program]\nsaw_width=2\n");
    fs::permissions(real, fs::perms(0600));
    fs::create_symlink(real, link);

    IniStore store(link);
    EXPECT_EQ(store.text("saw_width"), "2");
    store.set_text("saw_width", "3.2");
    store.save();

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(IniStore(real).text("saw_width"), "3.2");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_FALSE(has_temp_files(dir.path()));
    EXPECT_FALSE(has_temp_files(dir.path() / "dotfiles"));
}

}  // namespace
}  // namespace kerf
