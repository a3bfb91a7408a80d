#include <iostream>
#include <string>
#include <vector>

#include "app.h"

int main(int argc, char** argv) {
  return h33::RunH33(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
