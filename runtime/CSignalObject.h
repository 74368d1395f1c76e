#pragma once

#include "util/QuorExport.h"

// Polymorphic object that a message may own in addition to its payload block.
// The message copies it with Clone() and releases it with delete.
class QUOR_EXPORT CSignalObject {
public:
    virtual ~CSignalObject() = default;
    virtual CSignalObject* Clone() const = 0;
};
