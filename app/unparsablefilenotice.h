#pragma once

// Tells the user, in a message box, when a settings or history file does not parse: the
// store keeps such a file untouched, so none of its changes are saved until it is
// repaired or moved aside. The store says so once per run and file.
class UnparsableFileNotice
{
public:
    static void Install();
};
