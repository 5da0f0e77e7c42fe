// layinst: the station's services, then the framework runs the application.
#include <cstdio>
#include <memory>
#include <string>

#include "framework/winmain.h"
#include "nt/host_services.h"

int main(int argc, char** argv) {
  std::string error;
  auto host = nt::HostServices::Open(nt::DefaultStation(), {}, &error);
  if (host == nullptr) {
    std::fprintf(stderr, "layinst: %s\n", error.c_str());
    return 1;
  }
  return AfxWinMain(argc, argv);
}
