#pragma once

#include <cstddef>
#include <string>

// Reads what the tool put on the line and holds it to the command table: every byte must belong
// to a whole command, and commands follow one another with nothing between or inside them.
class CommandStream {
public:
    // Takes the next bytes; false, with Error() saying where, at the first byte that cannot
    // continue a command. Nothing is taken after an error.
    bool Feed(const std::string& bytes);
    const std::string& Error() const { return error_; }
    // How many whole commands read so far were On.
    std::size_t OnCommands() const { return onCommands_; }
    // The start of a command still waiting for its rest.
    const std::string& Pending() const { return pending_; }

private:
    std::string pending_;
    std::string error_;
    std::size_t commands_ = 0;
    std::size_t onCommands_ = 0;
    std::size_t offset_ = 0;
};

// True when the bytes are a command of the table or the start of one.
bool StartsCommand(const std::string& bytes);
// True when the bytes are exactly one command of the table.
bool IsCommand(const std::string& bytes);
