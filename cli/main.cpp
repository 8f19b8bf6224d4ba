#include <cstdio>

int main() {
  std::puts("quarrix-cli");
  return 0;
}
