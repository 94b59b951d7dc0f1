#pragma once

class QString;

// What the one-second tick asks of the main frame when something is due.
class ITickHost
{
public:
    virtual ~ITickHost() = default;

    virtual bool IsDrinksRecordCurrent() const = 0;
    virtual bool IsDrinksSettingsCurrent() const = 0;
    virtual bool IsRelaxSettingsCurrent() const = 0;
    virtual void PlayPromptSound(int kind) = 0;
    virtual void OnDrinksTipsShow() = 0;
    virtual void OnRelaxTipsShow() = 0;
    virtual void RefreshDrinksSettings() = 0;
    virtual void RefreshRelaxSettings() = 0;
    virtual void ReportFeatureStates() = 0;
    // Why a reminder waits, in words for the user; empty once none does.
    virtual void ShowWaitReason(const QString& reason) = 0;
};
