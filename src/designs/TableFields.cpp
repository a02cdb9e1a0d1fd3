#include "designs/TableFields.h"

#include "core/Text.h"

namespace tarnwake::designs {

std::string_view TableField(std::string_view line, int column) {
    std::string_view rest = line;
    for (int skipped = 1; skipped < column; ++skipped) {
        const std::size_t tab = rest.find('\t');
        if (tab == std::string_view::npos) {
            break; // fewer columns than asked for: the last one present answers
        }
        rest.remove_prefix(tab + 1);
    }
    const std::size_t tab = rest.find('\t');
    return tab == std::string_view::npos ? rest : rest.substr(0, tab);
}

std::int32_t TableInteger(std::string_view line, int column) {
    return core::ParseInteger(core::TrimView(TableField(line, column))).value_or(0);
}

} // namespace tarnwake::designs
