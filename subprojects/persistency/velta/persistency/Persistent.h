#pragma once
// An item that is stored as a node: an integer id within its tree, a random
// version-4 UUID, and creation and update times in seconds since 1970.
// Built without a parent, it is its own parent (a root).

#include "velta/persistency/Item.h"

#include <string>

class Persistency;

class Persistent : public Item {
public:
  // Runs the Item checks, takes the current time as creation time, draws the
  // UUID, and becomes its own parent when parent is none.
  Persistent(std::string tag, std::string description, Item *parent, int id);
  // Copies tag, description and id; empty UUID, a new creation time, update
  // time 0; its own parent when other is, else no parent.
  Persistent(const Persistent &other);
  // Ids and UUIDs are never copied by assignment; Node defines its own.
  Persistent &operator=(const Persistent &other) = delete;

  int id() const { return id_; }
  std::string uuid() const { return uuid_; }
  double createdAt() const { return createdAt_; }
  double updatedAt() const { return updatedAt_; }

  // Id of the parent; a root (its own parent) or an item without a
  // persistent parent reports its own id. Stored as PARENT.
  int parentId() const;

  // Moves up by one every id of the tree that follows this subtree's block.
  virtual void shiftIds(int after) = 0;
  virtual int rootId() const = 0;
  // Number of ids of the subtree.
  virtual int range() const = 0;
  // Reserves and returns the next id of this subtree's block.
  virtual int newId() = 0;
  // Writes the subtree as a new stored tree; returns its stored id.
  virtual int insert(Persistency &persistency) = 0;
  // Writes the current values over the stored tree; returns its stored id.
  virtual int update(Persistency &persistency) = 0;
  // Rereads the stored values of the subtree.
  virtual void restore(Persistency &persistency) = 0;
  // Removes the stored tree.
  virtual void remove(Persistency &persistency) = 0;

  // A version-4 UUID: 36 lower-case characters, 8-4-4-4-12 hexadecimal
  // digits, from a Mersenne twister seeded from the operating system's
  // random source, created and discarded per call.
  static std::string generateUuid();

protected:
  int id_;

private:
  std::string uuid_;
  double createdAt_;
  double updatedAt_ = 0.0;
};
