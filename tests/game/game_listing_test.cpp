// The listing of a game: the moves on the console and, into a file, with a board diagram.
#include <gtest/gtest.h>

#include <string>

#include "game/save_game.h"
#include "game_test_support.h"
#include "save_test_support.h"

namespace tarvex::testing {
namespace {

constexpr const char* kRule = "|---+---+---+---+---+---+---+---|\n";
constexpr const char* kEdge = "---------------------------------\n";
constexpr const char* kEmptyRank = "|   |   |   |   |   |   |   |   |\n";

// The diagram's ranks from the top, each given as its eight squares.
std::string Diagram(std::initializer_list<const char*> ranks) {
    std::string text = std::string("\n\n\n") + kEdge;
    size_t i = 0;
    for (const char* rank : ranks) {
        text += rank;
        text += ++i < ranks.size() ? kRule : kEdge;
    }
    return text;
}

class GameListingTest : public ControllerTest {
protected:
    std::string ListInto(const std::string& name) {
        ConsoleCapture out;
        ListGameToFile(controller_, name);
        return out.Text();
    }
    ScratchDir dir_;
};

TEST_F(GameListingTest, ThreePliesAndThe2DBoard) {
    NewGame(kGame2D);
    User("e2", "e4");
    User("e7", "e5");
    User("g1", "f3");
    const std::string name = dir_.Path("game.txt");
    EXPECT_EQ(ListInto(name), "\nGame listing: 3 plies\n 1. e4 - e5\n 2. Nf3\n");
    EXPECT_EQ(
        ReadText(name),
        "Game listing: 3 plies\n\n 1. e4 - e5\n 2. Nf3" +
            Diagram({"|*R |*N |*B |*Q |*K |*B |*N |*R |\n", "|*p |*p |*p |*p |   |*p |*p |*p |\n",
                     kEmptyRank, "|   |   |   |   |*p |   |   |   |\n",
                     "|   |   |   |   | p |   |   |   |\n", "|   |   |   |   |   | N |   |   |\n",
                     "| p | p | p | p |   | p | p | p |\n",
                     "| R | N | B | Q | K | B |   | R |\n"}));
    // A file that cannot be written.
    const std::string none = dir_.Path("no/folder.txt");
    EXPECT_EQ(ListInto(none),
              none + ": No such file or directory\n\ncan't open list file for writing\n");
    ConsoleCapture out;
    ListGameToFile(controller_, "gamelist.txt", true);
    EXPECT_EQ(out.Text(), "gamelist.txt: Operation canceled\n\ncan't open list file for writing\n");
}

}  // namespace
}  // namespace tarvex::testing
