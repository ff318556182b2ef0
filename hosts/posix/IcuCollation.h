#pragma once
// The collation of ICU: each language's order (case ignored) and the
// letters of its alphabetic index.

#include "platform/Collation.h"

namespace tabulon::posix {

class CIcuCollation final : public ICollation {
public:
    std::unique_ptr<ICollator> Open(const std::string& language, bool numbers, std::string& reason) override;
    std::vector<CollationLanguage> Languages() override;
};

}  // namespace tabulon::posix
