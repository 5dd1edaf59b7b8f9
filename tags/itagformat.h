#pragma once

class TagFieldSet;

// One handler per tag format. A handler is built on a stream (its constructor loads it and
// reports the result), holds the parsed fields in its own set, and rewrites its whole tag from
// that set on Save: 0 when the file changed, 1 when there was nothing to write or remove,
// negative on failure. Save removes from the set every field the format cannot carry.
class ITagFormat
{
public:
    virtual ~ITagFormat() = default;
    // Forgets the parsed state and parses the same stream again; the result is Load's.
    virtual int Reload() = 0;
    virtual int Save() = 0;
    virtual TagFieldSet *GetFieldSet() = 0;
};
