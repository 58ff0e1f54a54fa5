#!/usr/bin/env python3
"""Validates the example configurations against examples/config.schema.json with Debian's
python3-jsonschema, and checks that the schema rejects the mistakes operators typically make.

Usage: config_schema_test.py EXAMPLES_DIR
"""

import copy
import json
import pathlib
import sys
import unittest

import jsonschema

EXAMPLES = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else "examples")

GOOD_ENTRY = {"Command": "/wipe", "Type": "Notification", "Reply": "Next wipe on Friday",
              "Color": [1, 1, 1, 1], "DisplayScale": 1.5, "DisplayTime": 10}


def load(path):
    with open(path, encoding="utf-8-sig") as file:
        return json.load(file)


def with_entry(**changes):
    """A configuration of one good Notification entry with keys changed (None removes)."""
    entry = copy.deepcopy(GOOD_ENTRY)
    for key, value in changes.items():
        if value is None:
            entry.pop(key, None)
        else:
            entry[key] = value
    return {"ChatCommands": [entry]}


class ConfigSchemaTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        schema = load(EXAMPLES / "config.schema.json")
        jsonschema.Draft202012Validator.check_schema(schema)
        cls.validator = jsonschema.Draft202012Validator(schema)

    def errors(self, config):
        return sorted(error.message for error in self.validator.iter_errors(config))

    def test_every_example_server_configuration_is_valid(self):
        configs = [path for path in EXAMPLES.glob("*/ArkApi/Plugins/Quorvane/config.json")
                   if path.parts[-5] != "mistakes"]
        self.assertTrue(configs, "no example configuration found")
        for path in configs:
            with self.subTest(path=str(path)):
                self.assertEqual(self.errors(load(path)), [])

    def test_the_starter_file_names_the_schema_beside_it_and_is_the_example(self):
        starter = load(EXAMPLES / "config.json")
        self.assertEqual(self.errors(starter), [])
        self.assertEqual(starter.pop("$schema"), "./config.schema.json")
        self.assertEqual(starter, load(EXAMPLES / "server/ArkApi/Plugins/Quorvane/config.json"))

    def test_the_mistakes_example_is_rejected_at_each_mistake(self):
        config = load(EXAMPLES / "mistakes/ArkApi/Plugins/Quorvane/config.json")
        text = "\n".join(self.errors(config))
        for expected in ["'Colour' was unexpected", "'serverchat' is not one of",
                         "'Welcome, {name}!' does not match", "255 is greater than the maximum",
                         "0 is less than or equal to the minimum"]:
            with self.subTest(expected=expected):
                self.assertIn(expected, text)

    def test_valid_variants_are_accepted(self):
        variants = {
            "schema key": {"$schema": "./config.schema.json", **with_entry()},
            "doubled braces": with_entry(Reply="Use {{braces}}"),
            "client chat without colour": with_entry(Type="ClientChat", Color=None,
                                                     DisplayScale=None, DisplayTime=None),
            "command without slash": with_entry(Command="rules"),
            "non-ASCII reply": with_entry(Reply="Prochaine purge vendredi \u00e0 20 h"),
        }
        for name, config in variants.items():
            with self.subTest(name):
                self.assertEqual(self.errors(config), [])

    def test_typical_mistakes_are_rejected(self):
        mistakes = {
            "misspelt key": with_entry(Colour=[1, 1, 1, 1]),
            "type in the wrong case": with_entry(Type="notification"),
            "single brace in reply": with_entry(Reply="Hello {name}"),
            "lone closing brace": with_entry(Reply="a } b"),
            "0-255 colour": with_entry(Color=[255, 128, 0, 255]),
            "three-element colour": with_entry(Color=[1, 1, 1]),
            "five-element colour": with_entry(Color=[1, 1, 1, 1, 1]),
            "colour as text": with_entry(Color="#ffffff"),
            "missing reply": with_entry(Reply=None),
            "missing command": with_entry(Command=None),
            "empty command": with_entry(Command=""),
            "non-ASCII command": with_entry(Command="/r\u00e8gles"),
            "command with a blank": with_entry(Command="/my rules"),
            "zero display time": with_entry(DisplayTime=0),
            "negative display scale": with_entry(DisplayScale=-1),
            "notification without display time": with_entry(DisplayTime=None),
            "server chat without colour": {"ChatCommands": [
                {"Command": "/a", "Type": "ServerChat", "Reply": "x"}]},
            "misspelt top-level key": {"Chatcommands": [GOOD_ENTRY]},
            "entries as an object": {"ChatCommands": {"a": GOOD_ENTRY}},
            "no commands": {"ChatCommands": []},
        }
        for name, config in mistakes.items():
            with self.subTest(name):
                self.assertNotEqual(self.errors(config), [], f"{name} was accepted")


if __name__ == "__main__":
    unittest.main(verbosity=1)
