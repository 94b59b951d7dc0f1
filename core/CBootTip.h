#pragma once

#include "core/CPromptDialog.h"

class QCheckBox;

// Offers to start the program with the system; the caller acts on the answer.
class CBootTip : public CPromptDialog
{
    Q_OBJECT
public:
    static CBootTip* Instance();

    // With an anchor, the dialog's top-left goes 10 px left of and 130 px below the anchor's.
    void SetTexts(const QString& tips, const QString& message, QWidget* anchor = nullptr);
    bool IsBootChecked() const;

private:
    CBootTip();

    QCheckBox* m_boot = nullptr;
};
