#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-V")) {
        std::cout << "tavrel-cli " TAVREL_VERSION "\n";
        return tavrel::cli::kExitOk;
    }
    return tavrel::cli::run(args, std::cout, std::cerr);
}
