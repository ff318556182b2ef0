#include "posix/LoadedCollation.h"

#include "posix/Modules.h"

namespace tabulon::posix {

ICollation* CLoadedCollation::Loaded() {
    if (m_tried) return m_collation.get();
    m_tried = true;
    m_collation = NewFromPart<ICollation>(kCollationModule, kNewCollation, "collation", m_failure);
    return m_collation.get();
}

std::unique_ptr<ICollator> CLoadedCollation::Open(const std::string& language, bool numbers, std::string& reason) {
    ICollation* collation = Loaded();
    if (!collation) {
        reason = m_failure;
        return nullptr;
    }
    return collation->Open(language, numbers, reason);
}

std::vector<CollationLanguage> CLoadedCollation::Languages() {
    ICollation* collation = Loaded();
    return collation ? collation->Languages() : std::vector<CollationLanguage>{};
}

}  // namespace tabulon::posix
