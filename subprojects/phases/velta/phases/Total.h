#pragma once
// The link from a total phase to the stream that owns it. The stream sets it
// once, right after creating its total phase; copies of a total phase have
// no stream.

#include "velta/phases/StreamInterface.h"

namespace Phase {

class Total {
public:
  void setStream(StreamInterface *stream) { stream_ = stream; }
  StreamInterface *stream() const { return stream_; }

protected:
  StreamInterface *stream_ = nullptr; // not owned
};

} // namespace Phase
