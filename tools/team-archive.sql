-- The team archive: every technician's visits in one PostgreSQL database.
-- Run once by a superuser or the database owner, in the database the team uses:
--   psql -v ON_ERROR_STOP=1 -d gencfg -f tools/team-archive.sql
-- Then give each technician a login of his own in gencfg_technician:
--   CREATE ROLE ivanov LOGIN PASSWORD '...' IN ROLE gencfg_technician;
-- The program reads schema_version and refuses a newer version than it knows.

BEGIN;

DO $$
BEGIN
    -- The administrator owns the tables and migrates them; technicians only add and read.
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'gencfg_admin') THEN
        CREATE ROLE gencfg_admin NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'gencfg_technician') THEN
        CREATE ROLE gencfg_technician NOLOGIN;
    END IF;
END
$$;

CREATE SCHEMA IF NOT EXISTS gencfg AUTHORIZATION gencfg_admin;

CREATE TABLE IF NOT EXISTS gencfg.schema_version (
    version integer NOT NULL
);
INSERT INTO gencfg.schema_version (version)
    SELECT 1 WHERE NOT EXISTS (SELECT FROM gencfg.schema_version);

-- One row per visit, never changed once written. A visit is the same visit on
-- every PC by (serial, time_ms, pc, kind): adding it again adds nothing.
CREATE TABLE IF NOT EXISTS gencfg.visit (
    id              bigserial PRIMARY KEY,
    serial          text     NOT NULL,
    time_ms         bigint   NOT NULL,            -- milliseconds since 1970-01-01 UTC
    utc_offset      integer  NOT NULL,            -- seconds east of UTC on the PC that made it
    pc              text     NOT NULL,
    kind            text     NOT NULL CHECK (kind IN ('read', 'write', 'journals')),
    technician      text     NOT NULL,
    variant_code    smallint NOT NULL CHECK (variant_code BETWEEN 0 AND 255),
    program_version text     NOT NULL,
    image           bytea,                        -- the 256-byte parameter image, when the visit has one
    journals        text,                         -- both journals as listed, when read
    status          text,                         -- the newest status frame as JSON, when one came
    added_at        timestamptz NOT NULL DEFAULT now(),
    UNIQUE (serial, time_ms, pc, kind)
);
CREATE INDEX IF NOT EXISTS visit_serial_time ON gencfg.visit (serial, time_ms);

ALTER TABLE gencfg.schema_version OWNER TO gencfg_admin;
ALTER TABLE gencfg.visit OWNER TO gencfg_admin;

-- Append-only by rights: technicians may read and add, never change or remove.
REVOKE ALL ON ALL TABLES IN SCHEMA gencfg FROM PUBLIC;
REVOKE ALL ON gencfg.visit, gencfg.schema_version FROM gencfg_technician;
GRANT USAGE ON SCHEMA gencfg TO gencfg_technician;
GRANT SELECT ON gencfg.schema_version TO gencfg_technician;
GRANT SELECT, INSERT ON gencfg.visit TO gencfg_technician;
GRANT USAGE ON SEQUENCE gencfg.visit_id_seq TO gencfg_technician;

COMMIT;
