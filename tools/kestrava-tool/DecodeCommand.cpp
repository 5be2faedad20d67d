#include "tools/kestrava-tool/Commands.h"
namespace kestrava::tool {
int RunDecode(const std::vector<std::string>&) { return 1; }
}
