// The console program as a file: what it is linked with.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// zuna4c runs where there is no display: it needs no windowing library.
TEST(Program, LinksNoGuiLibrary) {
  std::FILE* pipe = popen("ldd '" ZUNA4C_PATH "' 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  std::string libraries;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    libraries.append(buffer, n);
  }
  ASSERT_EQ(pclose(pipe), 0) << libraries;
  ASSERT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
  for (const char* gui : {"libQt", "libX11", "libxcb", "libGL", "libEGL", "libwayland", "libgtk"}) {
    EXPECT_EQ(libraries.find(gui), std::string::npos) << gui << " in\n" << libraries;
  }
}

}  // namespace
