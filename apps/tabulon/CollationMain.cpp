// The collation part of the program (collation.so): ICU's orders and
// alphabets, loaded the first time a configuration names a language.

#include "posix/IcuCollation.h"
#include "posix/LoadedCollation.h"

extern "C" __attribute__((visibility("default"))) tabulon::ICollation* tabulon_new_collation() {
    return new tabulon::posix::CIcuCollation();
}
