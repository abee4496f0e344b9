// The step-signal WAV file: a 44-byte header, then one stereo frame per mono sample,
// the right channel the negated left. Written under a temporary name and renamed when
// complete, so a cache name never holds a partial file.

#include "wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

#include "planner.h"
#include "pulse_counter.h"

namespace kerf {
namespace {

std::string errno_text(int err) { return std::system_category().message(err); }

// Four ASCII characters as the 32-bit word that writes them in order.
constexpr std::int32_t fourcc(const char (&id)[5]) {
    return std::int32_t(
        std::uint32_t(std::uint8_t(id[0])) | std::uint32_t(std::uint8_t(id[1])) << 8 |
        std::uint32_t(std::uint8_t(id[2])) << 16 | std::uint32_t(std::uint8_t(id[3])) << 24);
}

// A file written through a buffer, never one system call per frame. Remembers the
// first error.
class OutFile {
  public:
    explicit OutFile(const std::string& path) : path_(path), buffer_(kBufferSize) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) error_ = errno;
    }
    ~OutFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;

    bool ok() const { return error_ == 0; }
    int error() const { return error_; }

    void word(std::int32_t v) {
        const auto u = std::uint32_t(v);
        byte(u & 0xFF);
        byte((u >> 8) & 0xFF);
        byte((u >> 16) & 0xFF);
        byte((u >> 24) & 0xFF);
    }
    // One frame: s on the left, -s on the right, each low byte first.
    void frame(std::int16_t s) {
        if (used_ + 4 > buffer_.size()) flush();
        const auto left = std::uint16_t(s);
        const auto right = std::uint16_t(-int{s});
        unsigned char* p = buffer_.data() + used_;
        p[0] = std::uint8_t(left & 0xFF);
        p[1] = std::uint8_t(left >> 8);
        p[2] = std::uint8_t(right & 0xFF);
        p[3] = std::uint8_t(right >> 8);
        used_ += 4;
    }
    void flush() {
        const unsigned char* p = buffer_.data();
        std::size_t left = used_;
        used_ = 0;
        while (error_ == 0 && left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                error_ = errno;
            } else {
                p += n;
                left -= std::size_t(n);
            }
        }
    }
    // Flushes and closes; false (with error()) when anything failed.
    bool close() {
        flush();
        if (fd_ >= 0) {
            if (::close(fd_) != 0 && error_ == 0) error_ = errno;
            fd_ = -1;
        }
        return error_ == 0;
    }

  private:
    static constexpr std::size_t kBufferSize = 256 * 1024;
    void byte(unsigned v) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = static_cast<unsigned char>(v);
    }

    std::string path_;
    std::vector<unsigned char> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    int error_ = 0;
};

// Removes a file that is not complete; a file that stays is reported.
void remove_incomplete(const std::string& path, MoveSteps& steps) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        steps.log("File: " + path + " not deleted: " + errno_text(errno), true);
    }
}

}  // namespace

WriteResult writestreamtofile(const SampleStream& aMS, const std::atomic<bool>& stop,
                              const std::string& am_name, MoveSteps& steps) {
    WriteResult result;
    const std::int64_t stream_bytes = 2 * std::int64_t(aMS.size());
    const std::int64_t data_bytes = 2 * stream_bytes;
    const std::string part = am_name + ".part";

    steps.writer_start();
    // Whatever ends the writer before the file is complete leaves no file under am_name:
    // a file of an earlier move there must not be played for this one.
    const auto fail = [&](const std::string& message) {
        remove_incomplete(part, steps);
        remove_incomplete(am_name, steps);
        result.error = message;
        steps.error(message);
        return result;
    };
    const auto cancel = [&] {
        remove_incomplete(part, steps);
        remove_incomplete(am_name, steps);
        return result;
    };

    if (data_bytes > kMaxDataBytes) {
        return fail("The step signal is too long for a WAV file: " + std::to_string(data_bytes) +
                    " bytes of sound data, at most " + std::to_string(kMaxDataBytes) + ".");
    }
    const auto D = std::int32_t(data_bytes);
    const std::int32_t header[11] = {
        fourcc("RIFF"), 36 + D, fourcc("WAVE"), fourcc("fmt "), 16, 0x00020001,
        44100,          176400, 0x00100004,     fourcc("data"), D};

    std::int32_t pulses = 0;
    {
        OutFile out(part);
        if (!out.ok()) {
            return fail("Cannot create the sound file " + am_name + " (as " + part +
                        "): " + errno_text(out.error()));
        }
        for (std::int32_t w : header) out.word(w);

        // Progress about every hundredth of the stream: where position mod chunk is 1 or
        // 2. The remainder is kept as the position advances, not divided for each sample.
        const std::int64_t chunk = stream_bytes / 100 > 0 ? stream_bytes / 100 : 1;
        std::int64_t remainder = 0;
        PulseCounter<std::int32_t> counter;
        for (const std::int16_t s : aMS) {
            out.frame(s);
            counter.add(s);
            remainder += 2;
            if (remainder >= chunk) remainder -= chunk;
            if (remainder >= chunk) remainder -= chunk;
            if (remainder == 1 || remainder == 2) {
                if (stop.load(std::memory_order_relaxed)) {
                    result.pulses = counter.count;
                    out.close();
                    return cancel();
                }
                if (!out.ok()) break;
                steps.progress();
            }
        }
        pulses = counter.count;
        result.pulses = pulses;
        if (stop.load()) {
            out.close();
            return cancel();
        }
        if (!out.close()) {
            return fail("Cannot write the sound file " + am_name + " (as " + part +
                        "): " + errno_text(out.error()));
        }
    }
    if (std::rename(part.c_str(), am_name.c_str()) != 0) {
        const int err = errno;
        return fail("Cannot put the sound file in place: renaming " + part + " to " + am_name +
                    " failed: " + errno_text(err));
    }
    result.complete = true;
    steps.done(am_name, pulses);
    return result;
}

}  // namespace kerf
