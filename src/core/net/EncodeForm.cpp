#include "net/EncodeForm.h"

namespace hb {

namespace {

struct Replacement {
    wchar_t character;
    const wchar_t* replacement;
};

// The website decodes with these exact rules, so the order is part of the
// format: "%" first so later insertions stay literal, "+" before blanks
// become "+", so a plus and a blank stay distinguishable.
constexpr Replacement kReplacements[] = {
    {L'%', L"%25"}, {L'+', L"%2B"}, {L' ', L"+"},   {L'\t', L"+"},  {L'\n', L"%0A"},
    {L'\r', L"%0D"}, {L'&', L"%26"}, {L'=', L"%3D"}, {L'{', L"%7B"}, {L'}', L"%7D"},
    {L'[', L"%5B"}, {L']', L"%5D"}, {L'"', L"%22"},
};

std::wstring ReplaceAll(const std::wstring& text, const Replacement& rule) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c == rule.character) {
            result += rule.replacement;
        } else {
            result.push_back(c);
        }
    }
    return result;
}

}  // namespace

std::wstring EncodeForm(const std::wstring& text) {
    std::wstring result = text;
    for (const Replacement& rule : kReplacements) result = ReplaceAll(result, rule);
    return result;
}

}  // namespace hb
