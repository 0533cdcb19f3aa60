#!/usr/bin/python3
"""kinroll-web in headless Chromium: open the printed address, choose the
example printouts, send them, wait for the results, check the summary, the
grouped messages and the error report, open a CSV view, download the archive
and compare it with a direct kinroll -c run; at 1280 and 390 pixels wide
save screenshots of the form, the results and a view, and check that no page
scrolls sideways; send a PDF named mis231.txt (refused, with a way back to
the form) and the printouts saved again as UTF-8 (the same archive); find
the unit remembered on the form, forget one file, and get next month's
changes without sending last month's directory; send the directory alone
and check the summary names what is missing; restart the server and open
the bookmarked address again.

usage: web_browser.py KINROLL_WEB EXAMPLES SCREENSHOTS
(SCREENSHOTS: a folder for web-form-1280.png, web-results-390.png and the like)
Exit status 77 (skipped) without Selenium, Chromium or its driver."""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.common.exceptions import WebDriverException
except ImportError:
    sys.exit(77)

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
if CHROMIUM is None or not os.access(DRIVER, os.X_OK):
    sys.exit(77)

web, examples, screenshots = sys.argv[1:4]
kinroll = os.path.join(os.path.dirname(web), "kinroll")
DEBUG = None
INPUTS = ["mis231.txt", "mis232.txt", "mis239.txt", "mis1313.txt", "mis1413.txt", "mis121.txt",
          "smis.txt"]
UNIT = "Alder Springs 2nd Ward"


def wait_for(what, test, seconds=30):
    """Waits until test() is true; a page that changes under it counts as not yet."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = test()
        except WebDriverException:
            value = None
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what + (DEBUG() if DEBUG else ""))


def direct_run(tmp):
    """Every file kinroll -c writes on the example ward, and its console."""
    folder = os.path.join(tmp, "direct")
    os.mkdir(folder)
    for name in INPUTS + ["wardunits.txt", "wardorgs.txt"]:
        shutil.copy(os.path.join(examples, name), folder)
    before = set(os.listdir(folder))
    run = subprocess.run([kinroll, "-c", "-u", UNIT], cwd=folder, capture_output=True,
                         timeout=60, stdin=subprocess.DEVNULL)
    files = {}
    for name in set(os.listdir(folder)) - before:
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    files["kinroll-console.txt"] = run.stdout
    return files


def send(driver, address, printouts, title=None):
    """Sends `printouts` (paths) with the example configuration files from the
    form at `address`, and waits for the results (a page titled `title`
    when given)."""
    driver.get(address)
    driver.find_element(By.NAME, "printouts").send_keys("\n".join(printouts))
    driver.find_element(By.NAME, "wardunits").send_keys(os.path.join(examples, "wardunits.txt"))
    driver.find_element(By.NAME, "wardorgs").send_keys(os.path.join(examples, "wardorgs.txt"))
    unit = driver.find_element(By.NAME, "unit")
    unit.clear()
    unit.send_keys(UNIT)
    driver.find_element(By.CSS_SELECTOR, "button[type=submit]:not(.forget)").click()
    wait_for("the results", lambda: driver.find_element(By.TAG_NAME, "h1").text
             == "Results for " + UNIT and (title is None or driver.title.startswith(title)))


def download_archive(driver, downloads):
    """Every file of the archive the results page links to, once the page
    (which looks again until then) shows that it is made; it is named from
    the unit and the day."""
    name = "Alder-Springs-2nd-Ward-%s.zip" % time.strftime("%Y-%m-%d")
    archive = os.path.join(downloads, name)
    if os.path.exists(archive):
        os.remove(archive)
    link = wait_for("the archive's link",
                    lambda: driver.find_elements(By.PARTIAL_LINK_TEXT, "Download everything"))[0]
    assert link.text == "Download everything (%s)" % name, link.text
    link.click()
    wait_for("the archive", lambda: os.path.exists(archive))
    with zipfile.ZipFile(archive) as z:
        return {n: z.read(n) for n in z.namelist()}


def start(env, port):
    """kinroll-web on `port`; the process and the address it printed."""
    server = subprocess.Popen([web, "--port", port], stdout=subprocess.PIPE, env=env, text=True)
    server.stdout.readline()
    return server, server.stdout.readline().strip()


def main():
    tmp = tempfile.mkdtemp()
    env = dict(os.environ, TMPDIR=tmp, XDG_STATE_HOME=os.path.join(tmp, "state"),
               XDG_CONFIG_HOME=os.path.join(tmp, "config"))
    server, address = start(env, "0")
    os.makedirs(screenshots, exist_ok=True)
    driver = None
    try:
        assert re.fullmatch(r"http://127\.0\.0\.1:\d+/[0-9a-f]{32}/", address), address
        downloads = os.path.join(tmp, "downloads")
        os.mkdir(downloads)
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                    "--window-size=1100,1400", "--no-proxy-server"):
            options.add_argument(arg)
        options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                                  "download.prompt_for_download": False})
        driver = webdriver.Chrome(service=Service(DRIVER), options=options)
        driver.set_page_load_timeout(60)
        global DEBUG
        DEBUG = lambda: ": " + driver.current_url + "\n" + driver.page_source[:1500]

        driver.get(address)
        assert driver.current_url == address, driver.current_url
        pages = {"form": address}
        send(driver, address, [os.path.join(examples, n) for n in INPUTS])
        assert driver.title == "Results for %s \u2013 Kinroll" % UNIT, driver.title
        pages["results"] = driver.current_url

        made = [li.text for li in driver.find_elements(By.CSS_SELECTOR, "ul.groups li.made")]
        assert any(m.startswith("The stake's lists: made") for m in made), made
        kinds = [p.text for p in driver.find_elements(By.CSS_SELECTOR, "ul.messages > li > p")]
        assert any(k.startswith("Phone numbers don't match for HT/VT family ... (2 times): ")
                   for k in kinds), kinds
        expected = direct_run(tmp)
        errors = driver.find_element(By.ID, "errors").text
        assert errors == expected["warderr.txt"].decode("latin-1").rstrip("\n"), errors

        driver.find_element(By.CSS_SELECTOR, "a[href$='/view/wardfam.csv']").click()
        heads = [th.text for th in driver.find_elements(By.CSS_SELECTOR, "table.csv thead th")]
        assert heads[:3] == ["FamID", "LName", "FName"], heads
        cells = driver.find_elements(By.CSS_SELECTOR, "table.csv tbody tr:nth-child(1) td")
        assert [c.text for c in cells[:3]] == ["041-2287-5530", "ABERNATHY", "Gordon"], \
            [c.text for c in cells[:3]]
        pages["view"] = driver.current_url
        pages["guide"] = address + "guide"

        # Every page fits the width of a phone; only a table's or a list's
        # own box scrolls sideways.
        for width in (1280, 390):
            driver.set_window_size(width, 900)
            for name, url in pages.items():
                driver.get(url)
                wide = driver.execute_script(
                    "return document.documentElement.scrollWidth - window.innerWidth")
                assert wide <= 0, "%s at %d px is %d px too wide" % (name, width, wide)
                shot = os.path.join(screenshots, "web-%s-%d.png" % (name, width))
                assert driver.save_screenshot(shot), shot
        driver.set_window_size(1100, 1400)
        print("ok: form, results and a view fit 1280 and 390 pixels")

        driver.get(pages["results"])
        got = download_archive(driver, downloads)
        for name, data in expected.items():
            assert got.get(name) == data, name
        print("ok: %d files as kinroll -c writes them" % len(expected))

        # A PDF under the directory's name: refused first on the page, and
        # nothing made; the way back leads to the form.
        odd = os.path.join(tmp, "odd")
        os.mkdir(odd)
        with open(os.path.join(odd, "mis231.txt"), "wb") as f:
            f.write(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n")
        send(driver, address, [os.path.join(odd, "mis231.txt"), os.path.join(examples, INPUTS[1])])
        refused = driver.find_element(By.ID, "refused").text
        assert ("mis231.txt is a PDF, not a saved printout: save the report as text"
                in refused), refused
        assert not driver.find_elements(By.PARTIAL_LINK_TEXT, "Download everything")
        driver.find_element(By.LINK_TEXT, "Back to the form").click()
        wait_for("the form", lambda: driver.find_elements(By.NAME, "printouts"))
        print("ok: a PDF named mis231.txt is refused with its reason")

        # The printouts saved again as UTF-8 with the mark, as an editor does.
        utf8 = os.path.join(tmp, "utf8")
        os.mkdir(utf8)
        for name in INPUTS:
            with open(os.path.join(examples, name), "rb") as f:
                text = f.read().decode("latin-1")
            with open(os.path.join(utf8, name), "wb") as f:
                f.write(b"\xef\xbb\xbf" + text.encode("utf-8"))
        send(driver, address, [os.path.join(utf8, n) for n in INPUTS])
        body = driver.find_element(By.TAG_NAME, "body").text
        assert "mis231.txt was saved as UTF-8; it was turned back into Latin-1" in body, body
        again = download_archive(driver, downloads)
        for name, data in expected.items():
            assert again.get(name) == data, name
        print("ok: the printouts saved again as UTF-8 give the same %d files" % len(expected))
        # The same ward through two jobs: a phone that imports the contacts
        # and birthdays again finds the same UIDs, not new people.
        if "wardcontacts.vcf" in got:
            for name in ("wardcontacts.vcf", "wardbirthdays.ics"):
                uids = [re.findall(rb"^UID:.*$", a[name], re.M) for a in (got, again)]
                assert uids[0] and uids[0] == uids[1], name
            print("ok: the contacts' and birthdays' UIDs stay the same from job to job")

        # Two directories for one month: nothing runs, both are named.
        send(driver, address, [os.path.join(examples, "mis231.txt"),
                               os.path.join(examples, "next-month", "mis231.txt")],
             "Nothing made for " + UNIT)
        refused = driver.find_element(By.ID, "refused").text
        assert refused.count("mis231.txt") >= 2, refused
        print("ok: two directories are refused, both named")

        # Remembered (the keep box is ticked by default): the unit, the
        # files and the directory, each with its Forget button.
        driver.get(address)
        assert driver.find_element(By.NAME, "unit").get_attribute("value") == UNIT
        assert "14 Apr 2024" in driver.find_element(By.ID, "kept-lastmonth").text
        driver.find_element(By.CSS_SELECTOR, "button[form=forget-wardorgs]").click()
        wait_for("the form without wardorgs.txt",
                 lambda: driver.current_url == address
                 and not driver.find_elements(By.ID, "kept-wardorgs"))
        assert driver.find_elements(By.ID, "kept-wardunits")
        # Next month: only the new directory; the changes come by themselves.
        driver.find_element(By.NAME, "printouts").send_keys(
            os.path.join(examples, "next-month", "mis231.txt"))
        driver.find_element(By.CSS_SELECTOR, "button[type=submit]:not(.forget)").click()
        wait_for("next month's results", lambda: driver.find_elements(By.ID, "changes"))
        changes = driver.find_element(By.ID, "changes").text
        assert changes.startswith("Changes from last month's directory of 14 Apr 2024 to "
                                  "mis231.txt\n"), changes
        assert driver.find_element(By.TAG_NAME, "h1").text == "Results for " + UNIT
        print("ok: the unit kept, wardorgs.txt forgotten, next month's changes by themselves")

        # The directory alone: the summary says which lists there are not, and why.
        driver.get(address)
        driver.find_element(By.NAME, "printouts").send_keys(os.path.join(examples, "mis231.txt"))
        driver.find_element(By.CSS_SELECTOR, "button[type=submit]:not(.forget)").click()
        wait_for("the results", lambda: driver.find_element(By.TAG_NAME, "h1").text
                 .startswith("Results for "))
        missing = [li.text for li in driver.find_elements(By.CSS_SELECTOR, "ul.groups li.notasked")]
        for sentence in ("No home-teaching report (MIS 1313) was given, so there are no "
                         "home-teaching lists.",
                         "No positions report (MIS 121) was given, so there is no positions list.",
                         "No stake report was given, so there are no stake lists."):
            assert any(m.endswith(sentence) for m in missing), (sentence, missing)
        assert driver.find_element(By.CSS_SELECTOR, "p.ok").text == \
            "Every list these printouts allow was made."
        print("ok: the directory alone says which lists are not there")

        # The bookmarked address works again once the server is started again.
        server.send_signal(signal.SIGTERM)
        server.wait(timeout=20)
        port = address.split(":")[2].split("/")[0]
        server, again = start(env, port)
        assert again == address, (again, address)
        driver.get(address)
        wait_for("the form again", lambda: driver.find_elements(By.NAME, "printouts"))
        print("ok: the bookmarked address opens the form after a restart")
    finally:
        if driver is not None:
            driver.quit()
        server.send_signal(signal.SIGTERM)
        server.wait(timeout=20)
        shutil.rmtree(tmp, ignore_errors=True)


main()
