#include "tools/kestrava-tool/Commands.h"
namespace kestrava::tool {
int RunRegion(const std::vector<std::string>&) { return 1; }
}
