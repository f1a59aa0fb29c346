#include "engine/parameter_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/parameter_layout.h"

namespace tarvex::engine {
namespace {

constexpr std::string_view kHeader =
    "# The evaluation's weights: both games' parameter sets, four game stages each.\n"
    "# Units: 10000 = one pawn. Where a term subtracts a value (a penalty), the value is "
    "positive.\n"
    "# A section [<game> <stage>] (games 2d and 3d, stages opening, middlegame, endgame, no "
    "pawns)\n"
    "# gives every name once: a value or a row on the name's line; a square table as a diagram\n"
    "# under its name (rank 8 first, files a..h, as White sees it; Black reads it mirrored);\n"
    "# a mobility table as 8 rows under its name. Slots a stage never reads keep the values of\n"
    "# the stages that do. Some values are fixed (the engine relies on them): a file that\n"
    "# changes one is refused. The first section says what each name means.\n";

struct Game {
    std::string_view name;
    int kind;
};
constexpr Game kGames[] = {{"2d", kGame2D}, {"3d", kGame3D}};
constexpr std::string_view kStageNames[kStageCount] = {"opening", "middlegame", "endgame",
                                                       "no pawns"};
constexpr int kSectionCount = 2 * kStageCount;

std::string SectionName(int section) {
    return std::string(kGames[section / kStageCount].name) + " " +
           std::string(kStageNames[section % kStageCount]);
}

ParameterSet& SetOf(ParameterBook& book, int section) {
    return book.For(kGames[section / kStageCount].kind)[static_cast<size_t>(section % kStageCount)];
}
const ParameterSet& SetOf(const ParameterBook& book, int section) {
    return book.For(kGames[section / kStageCount].kind)[static_cast<size_t>(section % kStageCount)];
}

void WriteAbout(std::string& out, std::string_view about) {
    while (!about.empty()) {
        const size_t end = std::min(about.find('\n'), about.size());
        out.append("# ").append(about.substr(0, end)).append("\n");
        about.remove_prefix(std::min(end + 1, about.size()));
    }
}

void WriteRange(std::string& out, const ParameterRange& range, const ParameterSet& set) {
    std::vector<std::string> values;
    for (int i = 0; i < range.rows * range.columns; ++i) {
        values.push_back(std::to_string(set[static_cast<size_t>(SlotOfValue(range, i))]));
    }
    out.append(range.name);
    if (range.shape == RangeShape::kLine) {
        for (const std::string& value : values) out.append(" ").append(value);
        out.append("\n");
        return;
    }
    out.append("\n");
    size_t width = 0;
    for (const std::string& value : values) width = std::max(width, value.size());
    for (int row = 0; row < range.rows; ++row) {
        for (int column = 0; column < range.columns; ++column) {
            const std::string& value = values[static_cast<size_t>(row * range.columns + column)];
            out.append(column == 0 ? "" : " ").append(width - value.size(), ' ').append(value);
        }
        out.append("\n");
    }
}

// The text split into lines without comments, with the line numbers.
struct Line {
    int number;
    std::vector<std::string_view> words;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = line.substr(0, line.find('#'));
        Line split{number, {}};
        while (true) {
            const size_t start = line.find_first_not_of(" \t\r");
            if (start == std::string_view::npos) break;
            line.remove_prefix(start);
            const size_t stop = std::min(line.find_first_of(" \t\r"), line.size());
            split.words.push_back(line.substr(0, stop));
            line.remove_prefix(stop);
        }
        if (!split.words.empty()) lines.push_back(std::move(split));
    }
    return lines;
}

class Reader {
public:
    explicit Reader(std::string_view text) : lines_(SplitLines(text)) {}

    bool Read(ParameterBook& book, std::string& error);

private:
    bool Fail(int line, std::string_view name, const std::string& problem) {
        error_ = "line " + std::to_string(line) + ": ";
        if (section_ >= 0) error_ += "[" + SectionName(section_) + "] ";
        if (!name.empty()) error_.append(name).append(": ");
        error_ += problem;
        return false;
    }
    bool StartSection(const Line& line);
    bool ReadRange(size_t& at);
    bool ReadValues(const Line& line, size_t firstWord, int expected, const ParameterRange& range,
                    int index);
    bool SectionComplete();

    std::vector<Line> lines_;
    ParameterBook book_{};
    std::array<bool, kSectionCount> sectionSeen_{};
    std::vector<bool> rangeSeen_;
    int section_ = -1;
    int sectionLine_ = 0;
    std::string error_;
};

bool Reader::StartSection(const Line& line) {
    std::string name;
    for (std::string_view word : line.words) name.append(name.empty() ? "" : " ").append(word);
    const std::string inner = name.substr(1, name.size() - 2);
    if (!SectionComplete()) return false;
    section_ = -1;
    for (int section = 0; section < kSectionCount; ++section) {
        if (inner == SectionName(section)) section_ = section;
    }
    if (name.back() != ']' || section_ < 0) {
        return Fail(line.number, {}, "unknown section " + name);
    }
    if (sectionSeen_[static_cast<size_t>(section_)]) {
        return Fail(line.number, {}, "section given twice");
    }
    sectionSeen_[static_cast<size_t>(section_)] = true;
    sectionLine_ = line.number;
    rangeSeen_.assign(ParameterRanges().size(), false);
    return true;
}

bool Reader::SectionComplete() {
    if (section_ < 0) return true;
    for (size_t i = 0; i < rangeSeen_.size(); ++i) {
        if (!rangeSeen_[i]) return Fail(sectionLine_, ParameterRanges()[i].name, "missing");
    }
    return true;
}

bool Reader::ReadValues(const Line& line, size_t firstWord, int expected,
                        const ParameterRange& range, int index) {
    const int found = static_cast<int>(line.words.size() - firstWord);
    if (found != expected) {
        return Fail(
            line.number, range.name,
            "expected " + std::to_string(expected) + " values, found " + std::to_string(found));
    }
    for (size_t w = firstWord; w < line.words.size(); ++w, ++index) {
        const std::string_view word = line.words[w];
        int64_t value = 0;
        const auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (status != std::errc() || end != word.data() + word.size()) {
            return Fail(line.number, range.name, "'" + std::string(word) + "' is not a number");
        }
        if (value > kParameterLimit || value < -kParameterLimit) {
            return Fail(line.number, range.name,
                        std::string(word) + " is out of range (at most " +
                            std::to_string(kParameterLimit) + " either way)");
        }
        const int at = SlotOfValue(range, index);
        const int stage = section_ % kStageCount;
        const std::optional<int32_t> fixed = FixedValue(stage, at);
        if (fixed && *fixed != value) {
            return Fail(line.number, range.name,
                        "slot " + std::to_string(at) + " is fixed at " + std::to_string(*fixed) +
                            ", found " + std::string(word));
        }
        SetOf(book_, section_)[static_cast<size_t>(at)] = static_cast<int32_t>(value);
    }
    return true;
}

bool Reader::ReadRange(size_t& at) {
    const Line& line = lines_[at];
    const std::span<const ParameterRange> ranges = ParameterRanges();
    size_t nameWords = 1;
    std::string name(line.words[0]);
    if (line.words.size() > 1 && (name == "AttackMobility" || name == "SafeMobility")) {
        name.append(" ").append(line.words[1]);
        nameWords = 2;
    }
    const auto found = std::find_if(ranges.begin(), ranges.end(),
                                    [&](const ParameterRange& r) { return r.name == name; });
    if (found == ranges.end()) return Fail(line.number, name, "unknown name");
    const size_t index = static_cast<size_t>(found - ranges.begin());
    if (rangeSeen_[index]) return Fail(line.number, name, "given twice");
    rangeSeen_[index] = true;
    if (found->shape == RangeShape::kLine) {
        return ReadValues(line, nameWords, found->columns, *found, 0);
    }
    if (line.words.size() != nameWords) {
        return Fail(line.number, name, "the values go on the lines below the name");
    }
    for (int row = 0; row < found->rows; ++row) {
        if (++at == lines_.size()) {
            return Fail(line.number, name, "expected " + std::to_string(found->rows) + " rows");
        }
        if (!ReadValues(lines_[at], 0, found->columns, *found, row * found->columns)) return false;
    }
    return true;
}

bool Reader::Read(ParameterBook& book, std::string& error) {
    bool ok = true;
    for (size_t at = 0; ok && at < lines_.size(); ++at) {
        const Line& line = lines_[at];
        if (line.words[0].starts_with('[')) {
            ok = StartSection(line);
        } else if (section_ < 0) {
            ok = Fail(line.number, {}, "values before the first section");
        } else {
            ok = ReadRange(at);
        }
    }
    ok = ok && SectionComplete();
    for (int section = 0; ok && section < kSectionCount; ++section) {
        if (!sectionSeen_[static_cast<size_t>(section)]) {
            section_ = -1;
            error_ = "missing section [" + SectionName(section) + "]";
            ok = false;
        }
    }
    if (!ok) {
        error = error_;
        return false;
    }
    book = book_;
    return true;
}

}  // namespace

std::string WriteParameterText(const ParameterBook& book) {
    std::string out(kHeader);
    for (int section = 0; section < kSectionCount; ++section) {
        out.append("\n[").append(SectionName(section)).append("]\n");
        const ParameterSet& set = SetOf(book, section);
        for (const ParameterRange& range : ParameterRanges()) {
            if (section == 0) WriteAbout(out, range.about);
            WriteRange(out, range, set);
        }
    }
    return out;
}

bool ReadParameterText(std::string_view text, ParameterBook& book, std::string& error) {
    return Reader(text).Read(book, error);
}

bool ReadParameterFile(const std::string& path, ParameterBook& book, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file) {
        error = path + ": cannot read the file";
        return false;
    }
    if (ReadParameterText(text, book, error)) return true;
    error = path + ": " + error;
    return false;
}

bool IsFixedSlot(int stage, int slot) {
    return FixedValue(stage, slot).has_value();
}

}  // namespace tarvex::engine
