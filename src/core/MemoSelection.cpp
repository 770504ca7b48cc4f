// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MemoSelection.h"
#include "core/MemoLevels.h"
#include "core/ExchangeFile.h"
#include "core/IsoTime.h"
#include "core/XmlNavigator.h"

void buildSelectionExport(XmlNavigator &xml, const MemoSelection &selection, const QString &appVersion)
{
    const int bias = localBiasMinutes();
    Exchange::startDocument(xml, appVersion, bias);
    pugi::xml_node memos = xml.findNode(QStringLiteral("korvel,memos"));
    // A selected memo goes out as a top-level one; a top-level memo takes all its sub-memos
    // along, selected or not, so a selected sub-memo of a selected memo goes out twice.
    for (const SelectedMemo &picked : selection) {
        Exchange::appendMemo(memos, *picked.memo, MemoLevels::kTopLevelParent, bias);
        for (const Memo *sub : picked.subMemos)
            Exchange::appendMemo(memos, *sub, sub->pid, bias);
    }
}

std::vector<ReportItem> reportItems(const MemoSelection &selection)
{
    std::vector<ReportItem> items;
    items.reserve(selection.size());
    for (const SelectedMemo &picked : selection) {
        ReportItem item{picked.memo->content, picked.topLevel, {}};
        for (const Memo *sub : picked.subMemos)
            item.subTexts << sub->content;
        items.push_back(std::move(item));
    }
    return items;
}
