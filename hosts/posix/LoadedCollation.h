#pragma once
// The collation of the collation part (ICU), loaded the first time a
// configuration names a language: without one, the program loads no ICU.

#include <memory>
#include <string>

#include "platform/Collation.h"
#include "posix/Modules.h"

namespace tabulon::posix {

// The part's entry: a new collation, owned by the caller.
using NewCollationEntry = ICollation*();
inline constexpr const char* kCollationModule = "collation.so";
inline constexpr const char* kNewCollation = "tabulon_new_collation";

class CLoadedCollation final : public ICollation {
public:
    std::unique_ptr<ICollator> Open(const std::string& language, bool numbers, std::string& reason) override;
    std::vector<CollationLanguage> Languages() override;

private:
    // The part's collation, loaded on the first call.
    CPartObject<ICollation> m_collation{kCollationModule, kNewCollation, "collation"};
};

}  // namespace tabulon::posix
