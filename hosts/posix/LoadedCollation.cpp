#include "posix/LoadedCollation.h"

namespace tabulon::posix {

std::unique_ptr<ICollator> CLoadedCollation::Open(const std::string& language, bool numbers, std::string& reason) {
    ICollation* collation = m_collation.Get();
    if (!collation) {
        reason = m_collation.Failure();
        return nullptr;
    }
    return collation->Open(language, numbers, reason);
}

std::vector<CollationLanguage> CLoadedCollation::Languages() {
    ICollation* collation = m_collation.Get();
    return collation ? collation->Languages() : std::vector<CollationLanguage>{};
}

}  // namespace tabulon::posix
