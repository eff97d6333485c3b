#include "cli/main.h"

int main(int argc, char** argv) {
    return haojian::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
