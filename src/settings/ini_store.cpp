#include "ini_store.h"

#include <SimpleIni.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "numbers.h"

namespace kerf {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "program";

// A settings file is a few hundred bytes; anything beyond this is not ours to read.
constexpr std::size_t kMaxRead = 1 << 20;

// What can be read of the file: at most kMaxRead bytes of a regular file (a pipe or a
// device would block or never end), cut back to the last whole line when the cap is
// reached, and without the lines that hold a NUL byte (binary junk). SimpleIni stops at
// the first NUL, so without this one stray byte would hide every line after it.
std::string readable_text(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string data(kMaxRead, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    if (data.size() == kMaxRead && in.peek() != std::ifstream::traits_type::eof()) {
        const auto last_newline = data.find_last_of("\r\n");
        data.resize(last_newline == std::string::npos ? 0 : last_newline + 1);
    }
    if (data.find('\0') == std::string::npos) return data;

    std::string clean;
    clean.reserve(data.size());
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        end = end == std::string::npos ? data.size() : end + 1;
        const std::string_view line(data.data() + start, end - start);
        if (line.find('\0') == std::string_view::npos) clean.append(line);
        start = end;
    }
    return clean;
}

std::vector<std::string_view> split_lines(std::string_view data) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t next = data.find('\n', pos);
        next = next == std::string_view::npos ? data.size() : next + 1;
        std::string_view line = data.substr(pos, next - pos);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
        lines.push_back(line);
        pos = next;
    }
    return lines;
}

bool is_comment(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && (line[first] == ';' || line[first] == '#');
}

bool is_blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// SimpleIni keeps a comment only with the section or key that follows it (and the block
// of comment lines that opens the file); comment lines after the last entry would be
// dropped on the next save. They are kept here and written back at the end.
std::string trailing_comments(std::string_view data) {
    const auto lines = split_lines(data);
    std::size_t from = lines.size();
    while (from > 0 && (is_blank(lines[from - 1]) || is_comment(lines[from - 1]))) --from;
    if (from == 0) {
        // Nothing but comments: SimpleIni keeps the opening block itself.
        while (from < lines.size() && !lines[from].empty() &&
               (lines[from].front() == ';' || lines[from].front() == '#')) {
            ++from;
        }
    }
    std::string kept;
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (!is_comment(lines[i])) continue;
        kept.append(lines[i]);
        kept.push_back('\n');
    }
    return kept;
}

bool has_line_break(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos || s.find('\0') != std::string::npos;
}

// A line break in a value would end its line and start another: a text could then write
// any key it liked. Such a value is refused, never stored.
void check_single_line(const std::string& key, const std::string& value) {
    if (key.empty() || has_line_break(key) || key.find_first_of("=[];#") != std::string::npos ||
        key.front() == ' ' || key.back() == ' ') {
        throw std::invalid_argument("'" + key + "' cannot be a key of the settings file");
    }
    if (has_line_break(value)) {
        throw std::invalid_argument("The value of " + key +
                                    " holds a line break and cannot be stored");
    }
}

std::string reason(int error) { return std::strerror(error); }

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw std::runtime_error("Cannot write the settings file " + path + ": " + why);
}

}  // namespace

struct IniStore::Impl {
    CSimpleIniA ini;
    std::string tail;  // comment lines after the last entry

    Impl() : ini(/*a_bIsUtf8=*/false, /*a_bMultiKey=*/false, /*a_bMultiLine=*/false) {
        // key=value as the file has always looked; values with a leading or trailing space
        // are written in double quotes, which is the only way they survive a reading.
        ini.SetSpaces(false);
        ini.SetQuotes(true);
    }
};

IniStore::IniStore(std::string path) : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    const std::string data = readable_text(path_);
    if (data.empty()) return;
    if (impl_->ini.LoadData(data) < 0) {
        impl_->ini.Reset();  // cannot happen for plain bytes; a file that fails is missing
        return;
    }
    impl_->tail = trailing_comments(data);
}

IniStore::~IniStore() = default;

std::optional<std::string> IniStore::text(const std::string& key) const {
    const char* value = impl_->ini.GetValue(kSection, key.c_str(), nullptr);
    if (!value) return std::nullopt;
    return std::string(value);
}

std::optional<bool> IniStore::boolean(const std::string& key) const {
    const auto value = text(key);
    if (!value) return std::nullopt;
    const auto number = parse_whole(*value);
    if (!number) return std::nullopt;
    return *number != 0;
}

std::optional<double> IniStore::decimal(const std::string& key) const {
    const auto value = text(key);
    if (!value) return std::nullopt;
    return parse_decimal(*value);
}

void IniStore::set_text(const std::string& key, const std::string& value) {
    check_single_line(key, value);
    if (impl_->ini.SetValue(kSection, key.c_str(), value.c_str()) < 0) {
        throw std::runtime_error("Out of memory storing settings key " + key);
    }
}

void IniStore::set_boolean(const std::string& key, bool value) { set_text(key, value ? "1" : "0"); }

void IniStore::set_decimal(const std::string& key, double value) {
    set_text(key, format_general(value));
}

void IniStore::save() {
    std::string data;
    if (impl_->ini.Save(data) < 0) fail(path_, "the settings could not be put into text");
    if (!impl_->tail.empty()) {
        if (!data.empty() && data.back() != '\n') data.push_back('\n');
        data.append(impl_->tail);
    }

    // A settings file that is a link (a dotfile kept elsewhere) stays a link: the new
    // file replaces the file it points to.
    fs::path target = path_;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }

    // Renaming over a read-only file would quietly undo the user's protection.
    if (fs::exists(target, ec)) {
        if (fs::is_directory(target, ec)) fail(path_, "it is a folder");
        if (std::FILE* probe = std::fopen(target.c_str(), "r+")) {
            std::fclose(probe);
        } else {
            fail(path_, reason(errno));
        }
    }

    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(folder, ec)) fail(path_, "the folder " + folder.string() + " is missing");

    // The new content goes into a file of its own beside the target and replaces the
    // target in one rename: a failure at any point leaves the old file as it was.
    std::random_device random;
    std::FILE* out = nullptr;
    fs::path temp;
    for (int attempt = 0; attempt < 20 && !out; ++attempt) {
        temp = target;
        temp += ".tmp-" + std::to_string(random());
        out = std::fopen(temp.c_str(), "wbx");  // "x": never reuse an existing name
        if (!out && errno != EEXIST) fail(path_, reason(errno));
    }
    if (!out) fail(path_, "no free name for a temporary file");

    const auto abandon = [&](int error) {
        std::fclose(out);
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(path_, reason(error));
    };
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), out) != data.size()) {
        abandon(errno);
    }
    if (std::fflush(out) != 0) abandon(errno);
    if (::fsync(::fileno(out)) != 0) abandon(errno);

    // Keep the permissions the user gave the old file.
    const auto old_status = fs::status(target, ec);
    if (!ec && fs::exists(old_status)) {
        fs::permissions(temp, old_status.permissions(), fs::perm_options::replace, ec);
    }
    if (std::fclose(out) != 0) {
        const int error = errno;
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(path_, reason(error));
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(path_, ec.message());
    }
}

}  // namespace kerf
