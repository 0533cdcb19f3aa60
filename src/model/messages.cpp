#include "model/messages.h"

namespace {

thread_local FILE* t_out = nullptr;
thread_local FILE* t_err = nullptr;

}  // namespace

FILE* message_out() { return t_out != nullptr ? t_out : stdout; }

FILE* message_err() { return t_err != nullptr ? t_err : stderr; }

void HeldMessages::print() {
  for (const Part& p : parts_) {
    std::fwrite(p.text.data(), 1, p.text.size(), p.to_err ? stderr : stdout);
  }
  parts_.clear();
}

ssize_t HoldMessages::write(void* cookie, const char* buf, size_t size) {
  auto* sink = static_cast<Sink*>(cookie);
  auto& parts = sink->held->parts_;
  try {
    if (parts.empty() || parts.back().to_err != sink->to_err) parts.push_back({sink->to_err, {}});
    parts.back().text.append(buf, size);
  } catch (...) {
    return -1;
  }
  return static_cast<ssize_t>(size);
}

FILE* HoldMessages::open(Sink& sink) {
  cookie_io_functions_t io{};
  io.write = &HoldMessages::write;
  FILE* fp = ::fopencookie(&sink, "w", io);
  // Unbuffered: each message reaches the store as it is printed, so the
  // two streams keep their order.
  if (fp != nullptr) std::setvbuf(fp, nullptr, _IONBF, 0);
  return fp;
}

HoldMessages::HoldMessages(HeldMessages& held)
    : out_sink_{&held, false},
      err_sink_{&held, true},
      out_(open(out_sink_)),
      err_(open(err_sink_)),
      saved_out_(t_out),
      saved_err_(t_err) {
  if (out_ != nullptr) t_out = out_;
  if (err_ != nullptr) t_err = err_;
}

HoldMessages::~HoldMessages() {
  t_out = saved_out_;
  t_err = saved_err_;
  if (out_ != nullptr) std::fclose(out_);
  if (err_ != nullptr) std::fclose(err_);
}
