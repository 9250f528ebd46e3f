#pragma once

// Tells screen readers what the program's own window and control classes
// are, where Qt's built-in descriptions would mislead them.
class CAccessibleFactory
{
public:
    // Idempotent; takes effect for every window made afterwards.
    static void Install();
};
