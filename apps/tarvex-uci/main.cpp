// tarvex-uci: the engine of the 2D game for any program that speaks the Universal Chess
// Interface on standard input and output. Whatever the engine's layers print on the console goes
// to standard error, so that standard output carries the protocol alone.
#include <cstdio>
#include <iostream>
#include <string>

#include "core/console.h"
#include "uci_session.h"

int main() {
    const tarvex::ConsoleRedirect toStderr(
        [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); });
    tarvex::uci::UciSession session;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!session.Handle(line)) return 0;
    }
    session.Finish();
    return 0;
}
