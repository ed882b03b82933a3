// Rules for the names users give profiles and macros, and the "%s %d" default names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class NameFilter {
public:
    // The built-in list of forbidden fragments.
    NameFilter();
    explicit NameFilter(std::vector<std::u16string> fragments) : fragments_(std::move(fragments)) {}

    // False when the name, in lower case, contains a forbidden fragment.
    bool Allows(std::u16string_view name) const;
    size_t FragmentCount() const { return fragments_.size(); }

private:
    std::vector<std::u16string> fragments_;
};

// "<base> <n>" with the smallest n from 1 to 1000 that no existing name equals; "<base> 1000"
// when all are taken.
std::u16string UniqueListName(std::u16string_view base, const std::vector<std::u16string>& existing);

// Lower case of ASCII and Latin-1 letters; other characters stay.
std::u16string LowerCase(std::u16string_view text);

} // namespace vantrel
