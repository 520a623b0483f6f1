#include "dialogs/MsgBoxContent.h"

#include <initializer_list>

namespace quillon {
namespace {

// A mask matches when all of its bits are set in the style. Masks are tried in a fixed
// order and a later match replaces an earlier one, so 3 wins over 1 and 2, and 6 over 2
// and 4.
bool Matches(int style, int mask) {
    return (style & mask) == mask;
}

std::string Join(std::initializer_list<const std::string*> captions) {
    std::string list;
    for (const std::string* caption : captions) {
        if (!list.empty())
            list += ';';
        list += *caption;
    }
    return list;
}

}  // namespace

std::string ChooseButtonList(int style, const ButtonCaptions& c, std::string_view callerList) {
    const struct {
        int mask;
        std::string list;
    } sets[] = {
        {kMbYesNo, Join({&c.yes, &c.no})},
        {kMbAbortRetryIgnore, Join({&c.abort, &c.retry, &c.ignore})},
        {kMbOkCancel, Join({&c.ok, &c.cancel})},
        {kMbYesNoCancel, Join({&c.yes, &c.no, &c.cancel})},
        {kMbRetryCancel, Join({&c.retry, &c.cancel})},
        {kMbCancelTryContinue, Join({&c.cancel, &c.retry, &c.continueOn})},
    };
    const std::string* chosen = nullptr;
    for (const auto& set : sets) {
        if (Matches(style, set.mask))
            chosen = &set.list;
    }
    if (chosen != nullptr)
        return *chosen;
    return callerList.empty() ? c.ok : std::string(callerList);
}

std::vector<std::string> SplitButtonList(std::string_view list) {
    std::vector<std::string> captions;
    for (;;) {
        const std::size_t end = list.find(';');
        captions.emplace_back(list.substr(0, end));
        if (end == std::string_view::npos)
            return captions;
        list.remove_prefix(end + 1);
    }
}

MsgBoxIcon ChooseMsgBoxIcon(int style) {
    MsgBoxIcon icon;
    if (Matches(style, kMbIconInformation))
        icon = {kIconInformationResource, kStandardIconInformation, kMbIconInformation};
    if (Matches(style, kMbIconError))
        icon = {kIconErrorResource, kStandardIconError, kMbIconError};
    if (Matches(style, kMbIconQuestion))
        icon = {kIconQuestionResource, kStandardIconQuestion, kMbIconQuestion};
    if (Matches(style, kMbIconWarning))
        icon = {kIconWarningResource, kStandardIconWarning, kMbIconWarning};
    return icon;
}

std::string ExpandLineBreaks(std::string_view text) {
    std::string expanded;
    expanded.reserve(text.size());
    for (char c : text) {
        expanded += c;
        if (c == '\r')
            expanded += '\n';
    }
    return expanded;
}

std::string MsgBoxTitle(std::string_view caption) {
    return caption.empty() ? std::string("MyMsgBox") : std::string(caption);
}

}  // namespace quillon
