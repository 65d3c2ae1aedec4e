#include "velta/persistency/Persistent.h"

#include <boost/random/mersenne_twister.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <ctime>
#include <optional>

#include <unistd.h>

namespace {

double now() { return static_cast<double>(std::time(nullptr)); }

} // namespace

Persistent::Persistent(std::string tag, std::string description, Item *parent, int id)
    : Item(std::move(tag), std::move(description), parent), id_(id), uuid_(generateUuid()),
      createdAt_(now()) {
  if (parent == nullptr)
    setParent(this);
}

Persistent::Persistent(const Persistent &other)
    : Item(other), id_(other.id_), createdAt_(now()) {
  if (other.parent() == &other)
    setParent(this);
}

int Persistent::parentId() const {
  const auto *parent = dynamic_cast<const Persistent *>(this->parent());
  return (parent == nullptr || parent == this) ? id_ : parent->id();
}

std::string Persistent::generateUuid() {
  // One twister per thread, its whole state seeded from the operating
  // system's random source once per thread and process (seeding it per UUID
  // took most of the time of reading a case back; a forked process seeds
  // again, or parent and child would make the same UUIDs). No generator is
  // shared, so no lock is needed.
  using Generator = boost::uuids::basic_random_generator<boost::random::mt19937>;
  thread_local std::optional<Generator> seeded;
  thread_local pid_t seededIn = -1;
  if (seededIn != getpid()) {
    seeded.emplace();
    seededIn = getpid();
  }
  Generator &generator = *seeded;
  return boost::uuids::to_string(generator());
}
