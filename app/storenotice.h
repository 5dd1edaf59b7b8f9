#pragma once

// Tells the user, in a message box, why changes to the settings, presets or history are not
// saved: a file of them does not parse (the store keeps it untouched until it is repaired or
// moved aside), or their folder takes no files (the changes last until the program closes).
// The store says so once per run and file or folder.
class StoreNotice
{
public:
    static void Install();
};
