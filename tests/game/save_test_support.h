// Files for the saved-game tests: a scratch directory per test, whole files as bytes, and
// little-endian words at an offset.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvex::testing {

// A fresh directory, removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = ::testing::TempDir() + "tarvex_save_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp " << pattern;
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    // The names of the files in the directory.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::string path_;
};

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline uint32_t Word(const Bytes& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

inline int32_t SignedWord(const Bytes& bytes, size_t offset) {
    return static_cast<int32_t>(Word(bytes, offset));
}

inline float FloatWord(const Bytes& bytes, size_t offset) {
    const uint32_t bits = Word(bytes, offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void SetWord(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

// The older, 49440-byte layout of the game a current-layout file holds, built from the offsets
// of both layouts. The older layout's notation (4736) and the word after it are filled with
// values of their own: a restore must take neither the notation nor a difficulty.
inline Bytes OlderLayoutOf(const Bytes& current, int32_t notation, int32_t difficulty) {
    Bytes older(49440, 0);
    const auto move = [&](size_t from, size_t to, size_t count) {
        std::memcpy(older.data() + to, current.data() + from, count);
    };
    move(0, 0, 4632);      // both Positions, the edited flag and the reserved word
    move(4632, 4644, 12);  // the reserved word, the selection and the first four highlights
    move(4708, 4720, 16);  // spread, transparency, rules, engine side
    move(4732, 4744, 16);  // scale, projection, the angles
    move(4748, 4764, 4);
    move(4752, 4792, 4);
    move(4756, 4864, 20000);
    move(24756, 44864, 4000);
    move(28756, 48876, 4);
    SetWord(older, 4736, static_cast<uint32_t>(notation));
    SetWord(older, 4740, static_cast<uint32_t>(difficulty));
    return older;
}

}  // namespace tarvex::testing
