#pragma once
// The settings file Kerfplanner.ini: one section "program" of key=value lines.
// Writing a key replaces its value in place and keeps every other line of the file,
// comments and unknown keys included.

#include <memory>
#include <optional>
#include <string>

namespace kerf {

class IniStore {
public:
    // Reads what can be read of the file; a missing, unreadable, huge, binary or
    // malformed file never fails: what cannot be read counts as missing.
    explicit IniStore(std::string path);
    ~IniStore();
    IniStore(const IniStore&) = delete;
    IniStore& operator=(const IniStore&) = delete;

    const std::string& path() const { return path_; }

    // Value of a key of section "program"; nothing when the key is missing.
    // A key present with an empty value gives "".
    std::optional<std::string> text(const std::string& key) const;
    // "is_checked": whole number, any value but 0 is true; nothing when missing or not a number.
    std::optional<bool> boolean(const std::string& key) const;
    // "scale": decimal; nothing when missing, empty or not a number.
    std::optional<double> decimal(const std::string& key) const;

    // Sets a key in memory (added at the end of the section when new).
    void set_text(const std::string& key, const std::string& value);
    void set_boolean(const std::string& key, bool value);  // "1" / "0"
    void set_decimal(const std::string& key, double value);  // format_general

    // Writes the file (atomically: a new file beside it, then renamed over it).
    // Throws std::runtime_error naming the file when it cannot be written.
    void save();

private:
    struct Impl;
    std::string path_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kerf
