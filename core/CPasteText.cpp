#include "core/CPasteText.h"

CPasteText::Plan CPasteText::Make(std::string_view text)
{
    Plan plan;
    plan.strokes.reserve(text.size());
    const KeyStroke enter = *CTypist::StrokeFor(CTypist::CODE_ENTER);
    const KeyStroke space = *CTypist::StrokeFor(' ');
    std::size_t at = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        at = 3;
    while (at < text.size()) {
        char32_t ch = 0;
        if (!CTypist::NextChar(text, at, ch)) {
            ++plan.skipped;
            ++at;
            continue;
        }
        if (ch == U'\r' || ch == U'\n') {
            if (ch == U'\r' && at < text.size() && text[at] == '\n')
                ++at;
            plan.strokes.push_back(enter);
            continue;
        }
        if (ch == U'\t') {
            plan.strokes.push_back(space);
            continue;
        }
        // Other control characters would edit rather than type (a backspace erases).
        const std::optional<std::uint8_t> code = ch < 0x20 ? std::nullopt : CTypist::CodeFor(ch);
        const std::optional<KeyStroke> stroke = code ? CTypist::StrokeFor(*code) : std::nullopt;
        if (stroke)
            plan.strokes.push_back(*stroke);
        else
            ++plan.skipped;
    }
    return plan;
}
