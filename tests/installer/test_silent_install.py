"""A silent install into a fresh prefix: the files, the shortcuts, the Run
entries, the Apps entry, the gateway's configuration from the command
line's quote choice, the version resources, and the portable zip of the
same files."""

import os
import pathlib
import time
import zipfile

import pytest

from setup_bench import (BAR_FILE, BAR_SHORTCUT, CONFIG_FILE, GATEWAY_FILE, GATEWAY_SHORTCUT, INSTALL_DIR,
                         INSTALLED_FILES, README_FILE, RUN_COMMAND, RUN_VALUE, UNINSTALLER_FILE, apps_entry,
                         config_lines, host_path, install, install_into, install_quoted, installed, run_entries, setup_path)
from version_info import read_version_info

VERSION = "5.6.0.0"
PORTABLE_FOLDER = "velmoria-5.6.0-portable"
# The exit code of a setup given options it cannot use.
BAD_OPTIONS = 2
# The README names the version in its title line.
README_TITLE = "Velmoria 5.6.0"
# Some file systems keep modification times in whole seconds.
MTIME_GRANULARITY = 2.0


def portable_files():
    """{name: bytes} of the portable zip's one folder, which the build packs
    from the same programs and README as the setup."""
    with zipfile.ZipFile(os.environ["VELMORIA_PORTABLE"]) as archive:
        files = {name: archive.read(name) for name in archive.namelist() if not name.endswith("/")}
    folders = {name.split("/", 1)[0] for name in files}
    assert folders == {PORTABLE_FOLDER}, "the zip holds %s" % sorted(files)
    return {name.split("/", 1)[1]: data for name, data in files.items()}


def test_a_silent_install_puts_the_programs_shortcuts_run_and_apps_entries_in_place(bench):
    code, _ = install(bench)
    assert code == 0

    portable = portable_files()
    assert sorted(portable) == sorted([BAR_FILE, GATEWAY_FILE, README_FILE])
    assert portable[BAR_FILE] == pathlib.Path(os.environ["VELMORIA_EXE"]).read_bytes()
    for name in portable:
        assert installed(bench, name).read_bytes() == portable[name], name
    readme = installed(bench, README_FILE).read_bytes()
    assert readme.startswith(README_TITLE.encode()) and b"\r\n" in readme and b"\n" not in readme.replace(b"\r\n", b"")
    assert installed(bench, UNINSTALLER_FILE).is_file()

    for shortcut, target in ((BAR_SHORTCUT, BAR_FILE), (GATEWAY_SHORTCUT, GATEWAY_FILE)):
        link = host_path(bench, shortcut)
        assert link.is_file(), "%s missing" % shortcut
        assert target.encode() in link.read_bytes(), "%s does not name %s" % (shortcut, target)

    # Started at sign-in unless told otherwise.
    assert run_entries(bench) == {RUN_VALUE: RUN_COMMAND % (INSTALL_DIR, GATEWAY_FILE)}

    entry = {name: value.data for name, value in apps_entry(bench).items()}
    size_kb = sum(installed(bench, name).stat().st_size for name in INSTALLED_FILES) // 1024
    assert entry.pop("EstimatedSize") in range(size_kb - len(INSTALLED_FILES), size_kb + len(INSTALLED_FILES) + 1)
    assert entry == {
        "DisplayName": "Velmoria",
        "DisplayVersion": VERSION,
        "Publisher": "Velmoria",
        "DisplayIcon": '"%s\\%s",0' % (INSTALL_DIR, BAR_FILE),
        "InstallLocation": INSTALL_DIR,
        "UninstallString": '"%s\\%s"' % (INSTALL_DIR, UNINSTALLER_FILE),
        "QuietUninstallString": '"%s\\%s" /S' % (INSTALL_DIR, UNINSTALLER_FILE),
        "NoModify": 1,
        "NoRepair": 1,
    }
    # Live quotes from the keyless source unless told otherwise.
    assert config_lines(bench) == ["source=chart"]


def test_the_setup_the_programs_and_the_uninstaller_carry_the_version(bench):
    code, _ = install(bench)
    assert code == 0
    files = {"setup": setup_path(), "bar": installed(bench, BAR_FILE), "gateway": installed(bench, GATEWAY_FILE),
             "uninstaller": installed(bench, UNINSTALLER_FILE)}
    # The product's 32-bit setup too, when the build made it beside the tested one.
    product = os.environ.get("VELMORIA_PRODUCT_SETUP")
    if product:
        files["product setup"] = pathlib.Path(product)
    for name, path in files.items():
        info = read_version_info(path)
        assert (info.file_version, info.product_version) == (VERSION, VERSION), name
        assert info.strings.get("ProductName") == "Velmoria", name
        assert info.strings.get("ProductVersion") == VERSION, name
        assert info.strings.get("CompanyName") == "Velmoria", name


QUOTE_CASES = [
    pytest.param(["/QUOTES=simulated"], ["source=simulated"], id="simulated"),
    pytest.param(["/QUOTES=live"], ["source=chart"], id="live without keys: the keyless source"),
    pytest.param(["/QUOTES=live", "/FINNHUBKEY=fh-Key-1"], ["key=finnhub=fh-Key-1", "source=chart,finnhub"],
                 id="live with a Finnhub key"),
    pytest.param(["/QUOTES=live", "/FINNHUBKEY=fh1", "/TWELVEDATAKEY=td2"],
                 ["key=finnhub=fh1", "key=twelvedata=td2", "source=chart,finnhub,twelvedata"],
                 id="live with both keys"),
    pytest.param(["/QUOTES=live", "/TWELVEDATAKEY=td2"], ["key=twelvedata=td2", "source=chart,twelvedata"],
                 id="live with a Twelve Data key"),
    pytest.param(["/QUOTES=simulated", "/FINNHUBKEY=fh1"], ["source=simulated"],
                 id="a key without live quotes is not written"),
    pytest.param(["/FINNHUBKEY=fh1"], ["key=finnhub=fh1", "source=chart,finnhub"], id="a key alone: live quotes"),
]


@pytest.mark.parametrize("options, lines", QUOTE_CASES)
def test_the_quote_choice_becomes_the_gateways_configuration(bench, options, lines):
    code, _ = install(bench, *options)
    assert code == 0
    assert config_lines(bench) == lines


def test_the_users_own_detail_page_is_given_quoted(bench):
    assert install_quoted(bench, '/DETAILURL="https://broker.example/q/{symbol}"') == 0
    assert config_lines(bench) == ["source=chart", "detail-url=https://broker.example/q/{symbol}"]


def files_written_since(root, moment):
    for folder, _, names in os.walk(root):
        for name in names:
            path = pathlib.Path(folder) / name
            if not path.is_symlink() and path.stat().st_mtime >= moment:
                yield path


def test_keys_land_in_the_configuration_file_and_nowhere_else(bench):
    key = "K3yNeverLogged0815"
    started = time.time() - MTIME_GRANULARITY
    code, _ = install(bench, "/QUOTES=live", "/FINNHUBKEY=" + key)
    assert code == 0
    bench.wineserver_wait()  # the registry files are written now
    config = host_path(bench, CONFIG_FILE)
    written = list(files_written_since(bench.prefix, started))
    assert config in written and any(p.name == "system.reg" for p in written)
    holders = [str(path.relative_to(bench.prefix)) for path in written
               if path != config and any(form in path.read_bytes()
                                         for form in (key.encode(), key.encode("utf-16-le")))]
    assert holders == []


@pytest.mark.parametrize("autostart", ["0", "1"])
def test_autostart_chooses_the_run_entries(bench, autostart):
    code, _ = install(bench, "/AUTOSTART=" + autostart)
    assert code == 0
    assert sorted(run_entries(bench)) == ([] if autostart == "0" else [RUN_VALUE])


@pytest.mark.parametrize("option", ["/QUOTES=real", "/AUTOSTART=yes"])
def test_an_option_the_setup_cannot_use_stops_it_before_it_installs_anything(bench, option):
    code, _ = install(bench, option)
    assert code == BAD_OPTIONS
    assert not installed(bench, BAR_FILE).exists()
    assert apps_entry(bench) is None


def test_a_folder_with_spaces_given_with_d_is_where_everything_goes(bench):
    folder = r"C:\Stock Tools\Velmoria Bar"
    assert install_into(bench, folder, "/AUTOSTART=1") == 0
    for name in INSTALLED_FILES:
        assert host_path(bench, folder + "\\" + name).is_file(), name
    assert not installed(bench, BAR_FILE).exists()
    entry = apps_entry(bench)
    assert entry["InstallLocation"].data == folder
    assert entry["QuietUninstallString"].data == '"%s\\uninstall.exe" /S' % folder
    assert run_entries(bench) == {RUN_VALUE: RUN_COMMAND % (folder, GATEWAY_FILE)}
