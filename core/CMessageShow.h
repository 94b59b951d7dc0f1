#pragma once

#include "core/CPromptDialog.h"

// Asks the user to confirm quitting; the updater launch borrows it for its own question.
class CMessageShow : public CPromptDialog
{
    Q_OBJECT
public:
    static CMessageShow* Instance();

private:
    CMessageShow();
};
