#pragma once

// Base of the instrument-specific dump helpers.
class Parser {
public:
    virtual ~Parser() = default;
};
