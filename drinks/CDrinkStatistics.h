#pragma once

// The drinking history's day, week, month and total figures.
class CDrinkStatistics
{
public:
    static CDrinkStatistics* Instance();

    // Reads the history into memory; runs once at start-up.
    void LoadAll();

private:
    CDrinkStatistics() = default;
};
