// The parameter book as text: the compiled-in text is the built-in book and reads back to it,
// every slot of both games survives a write and a read, and every kind of bad text is refused
// with a message that names the place, leaving the book as it was.
#include "engine/parameter_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex::engine {
namespace {

ParameterBook Read(const std::string& text) {
    ParameterBook book{};
    std::string error;
    EXPECT_TRUE(ReadParameterText(text, book, error)) << error;
    return book;
}

// The built-in text must read (nothing runs otherwise) and is exactly what the writer gives
// for the book it holds, so that a written book can replace it as it stands.
TEST(ParameterText, BuiltInTextReadsAndIsTheWrittenForm) {
    const ParameterBook book = Read(std::string(BuiltInParameterText()));
    EXPECT_EQ(book, BuiltInParameters());
    EXPECT_EQ(WriteParameterText(book), BuiltInParameterText());
}

// Every free slot of every set a different value: a slot written into the wrong place, or
// dropped, reads back otherwise.
TEST(ParameterText, EverySlotOfBothGamesRoundTrips) {
    ParameterBook book = BuiltInParameters();
    int32_t next = 1;
    for (int game : {kGame2D, kGame3D}) {
        for (int stage = 0; stage < kStageCount; ++stage) {
            for (int at = 0; at < kParameterCount; ++at) {
                if (IsFixedSlot(stage, at)) continue;
                book.For(game)[stage][at] = (next % 2 == 0 ? next : -next);
                ++next;
            }
        }
    }
    EXPECT_EQ(Read(WriteParameterText(book)), book);
}

// A changed fixed slot is refused in whichever game and stage; the message names the slot.
TEST(ParameterText, EveryFixedSlotIsRefusedWhenChanged) {
    for (int game : {kGame2D, kGame3D}) {
        for (int stage = 0; stage < kStageCount; ++stage) {
            for (int at = 0; at < kParameterCount; ++at) {
                if (!IsFixedSlot(stage, at)) continue;
                ParameterBook book = BuiltInParameters();
                book.For(game)[stage][at] += 1;
                ParameterBook target{};
                std::string error;
                EXPECT_FALSE(ReadParameterText(WriteParameterText(book), target, error))
                    << "game " << game << " stage " << stage << " slot " << at;
                EXPECT_NE(error.find("slot " + std::to_string(at) + " is fixed"), std::string::npos)
                    << error;
            }
        }
    }
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(ParameterText, BadTextIsRefusedNamingThePlaceAndLeavesTheBook) {
    const std::string text = WriteParameterText(BuiltInParameters());
    const std::string endgame3D = "[3d endgame]\n";
    const std::string tail = text.substr(text.find(endgame3D));  // sections 3d endgame, no pawns
    const std::string head = text.substr(0, text.size() - tail.size());
    // The 2D opening's knight outpost line and first rook-square row, whatever their values.
    const std::string outpost =
        "\nKnightOutpost " + std::to_string(BuiltInParameters().game2d[0][slot::kKnightOutpost]);
    const size_t rooks = text.find("\nRookSquares\n") + std::string("\nRookSquares").size();
    const std::string rookRow = text.substr(rooks, text.find('\n', rooks + 1) - rooks + 1);
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {Replaced(text, "\nBishopPair 2000\n", "\nBishopPair 2001\n"),
         "line 11: [2d opening] BishopPair: slot 0 is fixed at 2000, found 2001"},
        {head + Replaced(tail, "\nContempt -998\n", "\nContempt -997\n"),
         "[3d endgame] Contempt: slot 44 is fixed at -998, found -997"},
        {head + Replaced(tail, "\nShelter ", "\nUnknown "), "[3d endgame] Unknown: unknown name"},
        {head + Replaced(tail, "\nDoubled ", "\nIsolated "), "[3d endgame] Isolated: given twice"},
        {Replaced(text, outpost + "\n", "\n"), "[2d opening] KnightOutpost: missing"},
        {Replaced(text, outpost + "\n", outpost + " 1500\n"),
         "[2d opening] KnightOutpost: expected 1 values, found 2"},
        {Replaced(text, outpost + "\n", "\nKnightOutpost 500001\n"),
         "[2d opening] KnightOutpost: 500001 is out of range"},
        {Replaced(text, outpost + "\n", "\nKnightOutpost 15OO\n"),
         "[2d opening] KnightOutpost: '15OO' is not a number"},
        {Replaced(text, outpost + "\n", "\nKnightOutpost -\n"),
         "[2d opening] KnightOutpost: '-' is not a number"},
        {Replaced(text, rookRow, "\n 500\n"),
         "[2d opening] RookSquares: expected 8 values, found 1"},
        {head, "missing section [3d endgame]"},
        {text + "[2d opening]\n", "[2d opening] section given twice"},
        {Replaced(text, "[2d middlegame]", "[2d midgame]"), "unknown section [2d midgame]"},
        {"BishopPair 2000\n" + text, "line 1: values before the first section"},
    };
    for (const Case& c : cases) {
        ParameterBook book = BuiltInParameters();
        book.game3d[kStageEndgame][slot::kDoubled] = 1234;  // to show the book is left alone
        const ParameterBook before = book;
        std::string error;
        EXPECT_FALSE(ReadParameterText(c.text, book, error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(book, before) << c.message;
    }
}

TEST(ParameterText, AFileThatCannotBeReadIsNamed) {
    ParameterBook book{};
    std::string error;
    EXPECT_FALSE(ReadParameterFile("/nonexistent/book.txt", book, error));
    EXPECT_NE(error.find("/nonexistent/book.txt"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvex::engine
