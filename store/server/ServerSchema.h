#pragma once
#include "store/StoreColumns.h"

#include <QByteArray>

// The tables, rules and roles of a ward database, as SQL built from the column names alone.
namespace serverschema {

// The layout this program reads and writes, kept in QuillcaseSettings as SchemaVersion.
constexpr int version = 1;

// The group roles: doctors read and write records and read the trail; administrators
// besides manage doctors, delete records and restore.
constexpr const char *doctorRole = "quillcase_doctor";
constexpr const char *adminRole = "quillcase_admin";
// The channel on which every stored record is announced (payload: its record id).
constexpr const char *changeChannel = "quillcase_records";
// The index that keeps one record per bed among the records not archived.
constexpr const char *openBedIndex = "PatientsOpenBed";
// The error code the server raises for a change to an archived record.
constexpr const char *archivedState = "QC001";

// Creates the group roles unless they exist (roles belong to the whole server).
QByteArray rolesSql();
// Creates or renews tables, indexes, functions, triggers and privileges; safe to run again.
QByteArray schemaSql(const StoreColumns &columns);
// Creates the index that keeps one record per bed among the records not archived.
QByteArray openBedIndexSql();
// Gives every table of the ward to the administrators' group role, so that an administrator
// may vacuum them and a restore may set them up (only a table's owner may do either), and
// lets them build an index of the ward again; safe to run again. Doctors keep exactly the
// rights schemaSql grants them.
QByteArray ownershipSql();
// ORDER BY clause of the patient list: numeric beds by value, other texts by code point,
// then the record id.
QByteArray bedOrderSql();

} // namespace serverschema
