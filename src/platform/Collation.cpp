#include "platform/Collation.h"

namespace tabulon {

namespace {
ICollation* g_collation = nullptr;
}  // namespace

void SetCollation(ICollation* collation) { g_collation = collation; }

ICollation* Collation() { return g_collation; }

}  // namespace tabulon
