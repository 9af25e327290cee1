#include "storeinternal.h"
namespace dstore {
void fillDemoData(FreightStore&, const DemoOptions&) {}
}
