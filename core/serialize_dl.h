// JSON forms of the DL store: class expressions, data ranges, object
// property expressions, the 28 DL axiom forms and the "dl" section.
//
// Every form is externally tagged: a form without content is the bare name
// ("Top"), a form with one value holds it under its name ({"Atomic": 7},
// {"And": [1, 2]}), a form with fields holds an object of them ({"Some":
// {"property": {"Atomic": 3}, "filler": 12}}); readers also take the fields
// as an array in declared order and skip unknown fields. Expressions name
// their operands by position, so every form is flat and of fixed depth.
//
//   write_dl_store(w, ontology.dl());
//   auto store = read_dl_store(reader);                 // json Result<DlStore>
//   auto ok = check_dl_store_ids(*store, entity_count); // core Result<void>
//   ok = check_dl_store_forms(*store, ontology.entities());
//
// Reading checks shapes and number ranges only; `check_dl_store_ids` is the
// check that every id names an element (and that expression operands name
// earlier elements) before the store reaches anything that follows ids;
// `check_dl_store_forms` then holds kinds and list lengths to what the told
// axioms are held to.
#pragma once

#include <cstddef>

#include "core/dl.h"
#include "core/dl_expr.h"
#include "core/entity.h"
#include "core/error.h"
#include "json/reader.h"
#include "json/writer.h"

namespace trelvanic_core {

void write_role_expr(trelvanic_json::Writer& w, RoleExpr role);
void write_class_expr(trelvanic_json::Writer& w, const ClassExprView& e);
void write_data_expr(trelvanic_json::Writer& w, const DataExprView& e);
void write_dl_axiom(trelvanic_json::Writer& w, const DlAxiomView& a);
// {"expressions": [...], "data_exprs": [...], "axioms": [...]}.
void write_dl_store(trelvanic_json::Writer& w, const DlStore& store);

[[nodiscard]] trelvanic_json::Result<RoleExpr> read_role_expr(trelvanic_json::Reader& r);
[[nodiscard]] trelvanic_json::Result<ClassExpr> read_class_expr(trelvanic_json::Reader& r);
[[nodiscard]] trelvanic_json::Result<DataExpr> read_data_expr(trelvanic_json::Reader& r);
[[nodiscard]] trelvanic_json::Result<DlAxiom> read_dl_axiom(trelvanic_json::Reader& r);
// The section's lists exactly as read (equal elements kept apart).
[[nodiscard]] trelvanic_json::Result<DlStore> read_dl_store(trelvanic_json::Reader& r);

// Serialization error unless every entity id is below `entity_count`, every
// class-expression operand of expression k is below k, every data-range
// operand of data range k is below k, and every id in the axioms names an
// element of its list.
[[nodiscard]] Result<void> check_dl_store_ids(const DlStore& store, size_t entity_count);

// After `check_dl_store_ids`: InvalidAxiom unless every entity id names an
// entity of the kind its place needs (classes, individuals, object and data
// properties, datatypes; puns satisfy their parts) and every list has OWL 2's
// least length (two for intersections, unions and the equivalence,
// disjointness, same and different lists; one for OneOf).
[[nodiscard]] Result<void> check_dl_store_forms(const DlStore& store, const EntityRegistry& entities);

}  // namespace trelvanic_core
