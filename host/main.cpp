#include "host/host_main.h"

int main(int argc, char** argv) {
  (void)argv;
  return marrowel::runHost(argc);
}
